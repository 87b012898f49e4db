#include "monitor/kelvanor_view.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QTimerEvent>
#include <QToolTip>
#include <algorithm>
#include <climits>
#include <optional>
#include <utility>

#include "board/widget_board.h"
#include "monitor/alarm.h"
#include "platform/file_limit.h"
#include "platform/gbk.h"
#include "platform/message_box.h"
#include "platform/socket_message.h"

namespace kelvanor {
namespace {
// A close made by the socket worker takes microseconds: a walk waiting only for those
// looks again this soon.
constexpr std::chrono::milliseconds kCloseWait{1};
}  // namespace

int RefreshPeriodMs(std::int32_t refreshTime) {
  std::int64_t period = std::int64_t{refreshTime} * 1000;
  return static_cast<int>(std::clamp<std::int64_t>(period, 1000, INT32_MAX));
}

std::chrono::milliseconds ConnectTimeoutFor(std::int32_t refreshTime) {
  const std::chrono::milliseconds half(RefreshPeriodMs(refreshTime) / 2);
  return std::max(std::chrono::milliseconds(500), std::min(kWindowsConnectTimeout, half));
}

CKelvanorView::CKelvanorView(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);  // the board's scrolling keys
  connect(&m_WalkTimer, &QTimer::timeout, this, &CKelvanorView::WalkSlice);
  connect(&m_Scroller, &BoardScroller::Scrolled, &m_Frame, &FrameInvalidator::AddAll);
  connect(&m_Frame, &FrameInvalidator::Frame, this, [this] {
    if (std::exchange(m_CountsChanged, false)) emit CountsChanged();
  });
}

CKelvanorView::~CKelvanorView() = default;

void CKelvanorView::OnInitialUpdate() {
  RefreshStatus();
  m_Timers.Set(kRefreshTimerId, RefreshPeriodMs(m_Setting.refreshTime));
}

void CKelvanorView::RestartRefreshTimer() {
  m_Timers.Kill(kRefreshTimerId);
  m_Timers.Set(kRefreshTimerId, RefreshPeriodMs(m_Setting.refreshTime));
}

void CKelvanorView::OnTimer(int timerId) {
  if (timerId == kRefreshTimerId) RefreshStatus();
}

void CKelvanorView::timerEvent(QTimerEvent* e) {
  int id = m_Timers.IdOf(e->timerId());
  if (id < 0) return QWidget::timerEvent(e);
  OnTimer(id);
}

bool CKelvanorView::event(QEvent* e) {
  if (e->type() == SocketMessage::EventType()) {
    auto* message = static_cast<SocketMessage*>(e);
    if (message->message == WM_PROBE_EVENT) OnSocketEvent(message->handle, message->word);
    return true;
  }
  if (e->type() == QEvent::ToolTip) {
    ShowDetails(static_cast<QHelpEvent*>(e));
    return true;
  }
  return QWidget::event(e);
}

void CKelvanorView::RefreshStatus() {
  const auto now = std::chrono::steady_clock::now();
  if (m_CycleStart && m_LastOutcomeAt >= *m_CycleStart) m_LastCycle = m_LastOutcomeAt - *m_CycleStart;
  m_CycleStart = now;
  LimitConnectTimeout(ConnectTimeoutFor(m_Setting.refreshTime));
  // The list may have been edited since the last cycle.
  m_Scroller.Relayout(m_Setting.ipList.size());
  m_Counts = CountOutcomes(m_Setting.ipList);
  m_CountsChanged = true;
  m_Frame.Schedule();
  m_ProbeWindow = ProbeDescriptorWindow();
  m_Walk.Begin(m_Setting.ipList.size());
  WalkSlice();
  m_Frame.AddAll();  // covers the tiles this first slice changed
}

void CKelvanorView::WalkSlice() {
  const auto begun = std::chrono::steady_clock::now();
  const bool outer = std::exchange(m_InSlice, true);
  // The walk's position lives in m_Walk, not here: an error box below runs a nested
  // loop in which further slices, or a new cycle, go on with the same walk.
  std::vector<IPInfo>& list = m_Setting.ipList;
  for (std::size_t steps = 0;; ++steps) {
    if (steps >= kEntriesPerSliceAtLeast && std::chrono::steady_clock::now() - begun >= m_SliceTime) break;
    const bool slot = ProbeSlotFree();
    // Entries are taken even while none can start: letting their previous probes go
    // frees those probes' descriptors.
    if (!slot || !m_Walk.Waiting(list.size())) {
      const std::optional<std::size_t> next = m_Walk.Take(list.size());
      if (!next) break;
      IPInfo& entry = list[*next];
      m_Setting.ReleaseProbe(entry);
      entry.state = Connecting;
      entry.result = ConnectingText();
      TileChanged(entry);
      if (!slot) continue;
    }
    IPInfo& entry = list[*m_Walk.Waiting(list.size())];
    m_Walk.Started();
    // A list rebuilt meanwhile may hold an entry a new cycle has started already.
    if (entry.state == Connecting && !entry.socket) StartProbe(entry.ip, entry.port, entry);
  }
  m_InSlice = outer;
  ScheduleWalk();
}

void CKelvanorView::ScheduleWalk() {
  if (!m_Walk.Active())
    m_WalkTimer.stop();
  else if (!m_Walk.AllTaken() || ProbeSlotFree())
    m_WalkTimer.start(0);
  else if (SocketClosesPending())
    m_WalkTimer.start(kCloseWait);
  else
    m_WalkTimer.stop();  // the end of a probe or of a lookup resumes it
}

void CKelvanorView::ResumeWalk() {
  if (m_Walk.Waiting(m_Setting.ipList.size())) m_WalkTimer.start(0);
}

bool CKelvanorView::ProbeSlotFree() const {
  // A probe waiting for its name wants a socket once it is found, and its lookups (one
  // per family) hold one each meanwhile: a start may take three. A window smaller than
  // that still lets probes start one at a time.
  constexpr std::size_t kMostPerStart = 3;
  const std::size_t held = SocketsHeld() + Socket::AwaitingNames() + LookupsInFlight();
  return held == 0 || held + kMostPerStart <= m_ProbeWindow;
}

bool CKelvanorView::StartProbe(const std::string& ip, int port, IPInfo& entry) {
  if (port < 1 || port > 65535) {
    // Reduced to 16 bits it would probe some other service: such an entry is not probed.
    WSASetLastError(WSAEINVAL);
    entry.result = LastErrorText();
    NoteOutcome(entry, Failed);
    return false;
  }
  entry.socket = std::make_unique<Socket>();
  Socket& probe = *entry.socket;
  probe.type = 1;
  probe.protocol = 0;
  if (probe.AimAtLiteral(ip)) return OpenProbe(entry);
  // The socket is made once the address is known: a probe waiting for its name holds no
  // descriptor, and one superseded meanwhile is simply freed.
  const std::size_t index = static_cast<std::size_t>(&entry - m_Setting.ipList.data());
  probe.LookUp(ip, ProbeMode(entry, m_Setting.options), [this, index](Socket&, bool found) {
    OnLookedUp(index, found);
    ResumeWalk();  // a name not found leaves its slot free
  });
  return true;
}

bool CKelvanorView::OpenProbe(IPInfo& entry) {
  Socket& probe = *entry.socket;
  if (!probe.Create()) {
    ReportStartFailure(entry, probe);
    return false;
  }
  m_Setting.NoteProbe(entry);
  entry.history.connectStarted = std::chrono::steady_clock::now();
  if (!probe.Select(this, WM_PROBE_EVENT, FD_CONNECT | FD_CLOSE) || probe.Connect(entry.ip, entry.port)) {
    ReportStartFailure(entry, probe);
    return false;
  }
  entry.startFailure.clear();
  return true;
}

// A probe waiting for its name stays with its entry until it is freed, and freeing it
// cancels the lookup: the entry is still the one at `index`.
void CKelvanorView::OnLookedUp(std::size_t index, bool found) {
  IPInfo& entry = m_Setting.ipList[index];
  if (found)
    OpenProbe(entry);
  else
    ReportStartFailure(entry, *entry.socket);
}

void CKelvanorView::ReportStartFailure(IPInfo& entry, const Socket& probe) {
  entry.result = probe.FailureText();
  NoteOutcome(entry, Failed);
  std::string message = probe.errorText;
  if (std::exchange(entry.startFailure, message) == message) return;
  // One box per cycle, however many slices its failures fall in: once the open-file
  // limit is reached every later endpoint fails the same way. A failure while a box is
  // open counts as the cycle's box too.
  if (m_InSlice) {
    if (!std::exchange(m_Walk.boxShown, true)) ShowErrorBox(message);
    return;
  }
  // Name answers that came in together are handed out one after another: the box waits
  // for the end of this turn, so that it holds none of the others back.
  QMetaObject::invokeMethod(this, [this, message] { ShowErrorBox(message); }, Qt::QueuedConnection);
}

void CKelvanorView::ShowErrorBox(const std::string& message) {
  if (m_ErrorBoxOpen) return;
  m_ErrorBoxOpen = true;
  ShowMessageBox(this, message, "Error.", MessageIcon::Error);
  m_ErrorBoxOpen = false;
}

int CKelvanorView::OnSocketEvent(SOCKET socket, std::uint32_t word) {
  const long event = word & 0xFFFF;
  const int error = static_cast<int>(word >> 16);
  if (event == FD_CONNECT) {
    const ProbeState state = error == 0 ? Connected : Failed;
    if (error != 0) WSASetLastError(error);
    IPInfo* entry = m_Setting.FindBySocket(socket);
    if (entry) {
      Socket& probe = *entry->socket;
      entry->result = error == 0 ? ConnectedText() : probe.OutcomeText(error);
      entry->history.decidedBy = probe.DecidedBy();
      // Entries wait for descriptors: that matters more than watching for a hang-up.
      if (WindowBound()) probe.Close();
      NoteOutcome(*entry, state);
    }
    if (state == Failed && AlarmFor(entry)) SoundAlarm();
    if (!entry) m_Setting.FreeAbandoned(socket);  // a superseded probe's outcome: it is done
  } else if (event == FD_CLOSE) {
    if (error != 0) WSASetLastError(error);
    if (socket != 0) {
      if (Socket* probe = m_Setting.FindProbe(socket)) probe->Close();
    }
  }
  ResumeWalk();
  return 0;
}

void CKelvanorView::NoteOutcome(IPInfo& entry, ProbeState outcome) {
  m_LastOutcomeAt = std::chrono::steady_clock::now();
  entry.state = outcome;
  EndpointHistory& history = entry.history;
  if (outcome == Failed) {
    history.failedAt = std::chrono::system_clock::now();
    history.failureText = entry.result;
    ++history.failedCycles;
    ++history.failuresInRow;
    history.latency.AddFailure();
  } else {
    history.connectMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(m_LastOutcomeAt - history.connectStarted).count();
    history.failuresInRow = 0;
    history.latency.AddConnect(*history.connectMs);
  }
  const std::optional<ProbeState> before = std::exchange(entry.lastOutcome, outcome);
  if (before != outcome) LastOutcomeChanged(entry, before);
  NoteSlowness(entry);
  TileChanged(entry);
}

void CKelvanorView::NoteSlowness(IPInfo& entry) {
  const std::chrono::milliseconds limit = m_Setting.options.slowAfter;
  if (limit.count() == 0 && !entry.slow) return;  // the option is off: no median to take
  const std::optional<int> median = entry.history.latency.RecentMedian(kSlowWindow);
  const bool slow = limit.count() > 0 && entry.lastOutcome == Connected && median && *median > limit.count();
  // A failure ends slowness without a word of its own: the failure's change says it.
  if (std::exchange(entry.slow, slow) == slow || entry.lastOutcome == Failed) return;
  if (m_EventLog) {
    const EventOutcome before = slow ? EventOutcome::Connected : EventOutcome::Slow;
    const EventOutcome after = slow ? EventOutcome::Slow : EventOutcome::Connected;
    m_EventLog->Append({std::chrono::system_clock::now(), entry.ip, entry.port, entry.remark, before, after,
                        entry.result, entry.history.connectMs});
  }
  emit SlownessChanged(static_cast<std::size_t>(&entry - m_Setting.ipList.data()), slow);
}

void CKelvanorView::LastOutcomeChanged(IPInfo& entry, std::optional<ProbeState> before) {
  EndpointHistory& history = entry.history;
  history.changedAt = std::chrono::system_clock::now();
  m_Counts.Move(before, entry.lastOutcome);
  m_CountsChanged = true;
  m_Frame.Schedule();
  SetSilenced(false);
  const MonitorOptions& options = m_Setting.options;
  const bool recovered = before == Failed && entry.lastOutcome == Connected;
  if (recovered && options.recoverySound) {
    const AlarmSound sound{options.recoveryFile.empty() ? 1 : 2, options.recoveryFile};
    if (!m_Alarm.RequestRecovery(sound)) ShowMessageBox(this, Gbk(u8"声音提示失败！"), "", MessageIcon::Warning);
  }
  if (m_EventLog) {
    const auto outcome = [](std::optional<ProbeState> state) {
      if (!state) return EventOutcome::None;
      return *state == Failed ? EventOutcome::Failed : EventOutcome::Connected;
    };
    std::optional<std::int64_t> connectMs;
    if (entry.lastOutcome == Connected) connectMs = history.connectMs;
    m_EventLog->Append({history.changedAt, entry.ip, entry.port, entry.remark, outcome(before),
                        outcome(entry.lastOutcome), entry.result, connectMs});
  }
  emit EndpointChanged(static_cast<std::size_t>(&entry - m_Setting.ipList.data()), before == Failed,
                       entry.lastOutcome == Failed);
}

bool CKelvanorView::AlarmFor(const IPInfo* entry) const {
  if (m_Silenced) return false;
  const int needed = m_Setting.options.failuresBeforeAlarm;
  // A superseded probe's cycle is over without it: its failure is the entry's only when
  // every failure alarms.
  return entry ? entry->history.failuresInRow >= needed : needed <= 1;
}

void CKelvanorView::ApplyOptions() {
  ApplyMetricsOption();
  if (!m_Setting.options.eventLog) {
    m_EventLog.reset();
    return;
  }
  if (m_EventLog) return;
  m_EventLog = std::make_unique<EventLog>();
  connect(m_EventLog.get(), &EventLog::WriteFailed, this, &CKelvanorView::EventLogFailed);
  connect(m_EventLog.get(), &EventLog::WriteRecovered, this, &CKelvanorView::EventLogRecovered);
}

void CKelvanorView::ApplyMetricsOption() {
  const std::uint16_t port = m_Setting.options.metricsPort;
  if (m_Metrics && m_Metrics->Port() == port) return;
  m_Metrics.reset();
  if (port == 0) return;
  m_Metrics = std::make_unique<MetricsServer>(m_Setting.ipList, [this] { return MetricsTotals{m_Counts, m_LastCycle}; });
  if (m_Metrics->Listen(port)) return;
  const QString reason = m_Metrics->ErrorText();
  m_Metrics.reset();
  ShowMessageBox(this, Gbk(u8"指标端口 ") + std::to_string(port) + Gbk(u8" 无法使用：") + QStringToGbk(reason), "",
                 MessageIcon::Warning);
}

void CKelvanorView::SetSilenced(bool silenced) {
  if (std::exchange(m_Silenced, silenced) != silenced) emit SilenceChanged(silenced);
}

void CKelvanorView::ShowDetails(QHelpEvent* e) {
  const std::optional<std::size_t> index = TileAt(e->pos().x(), e->pos().y() + m_Scroller.Offset(),
                                                  m_Scroller.ClientRight(), m_Setting.ipList.size());
  if (!index) return QToolTip::hideText();
  const QRect tile = TileRect(*index, m_Scroller.ClientRight()).ToQRect().translated(0, -m_Scroller.Offset());
  QToolTip::showText(e->globalPos(), EndpointDetails(m_Setting.ipList[*index], std::chrono::system_clock::now()), this,
                     tile);
}

void CKelvanorView::TileChanged(const IPInfo& entry) {
  const std::size_t index = static_cast<std::size_t>(&entry - m_Setting.ipList.data());
  const QRect tile = TileRect(index, m_Scroller.ClientRight()).ToQRect();
  m_Frame.Add(tile.adjusted(0, 0, 1, 1).translated(0, -m_Scroller.Offset()));
}

void CKelvanorView::ShowNextFailure() {
  const std::vector<IPInfo>& list = m_Setting.ipList;
  const std::size_t top = m_Scroller.FirstVisibleTile();
  const std::size_t from = top == m_TopWhenShown ? m_ShownFailure : top;
  for (std::size_t step = 1; step <= list.size(); ++step) {
    const std::size_t index = (from + step) % list.size();
    if (list[index].lastOutcome != Failed) continue;
    m_Scroller.ScrollToTile(index);
    m_ShownFailure = index;
    m_TopWhenShown = m_Scroller.FirstVisibleTile();
    return;
  }
}

void CKelvanorView::SoundAlarm() {
  if (m_Setting.soundType == 0) return;
  if (!m_Alarm.Request({m_Setting.soundType, m_Setting.soundFile}))
    ShowMessageBox(this, Gbk(u8"声音提示失败！"), "", MessageIcon::Warning);
}

void CKelvanorView::paintEvent(QPaintEvent* e) {
  PaintBoardOnWidget(*this, e->region(), {m_Scroller.Offset(), m_Scroller.ClientRight()}, m_Setting.ipList.size(),
                     TilesOf(m_Setting.ipList), m_BoardLook);
}

void CKelvanorView::resizeEvent(QResizeEvent*) { m_Scroller.Relayout(m_Setting.ipList.size()); }

void CKelvanorView::keyPressEvent(QKeyEvent* e) {
  if (!m_Scroller.HandleKey(e->key())) QWidget::keyPressEvent(e);
}

void CKelvanorView::wheelEvent(QWheelEvent* e) { m_Scroller.HandleWheel(e); }

}  // namespace kelvanor
