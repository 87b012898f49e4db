#pragma once
// The main view: it owns the settings record and runs the probe cycle on timer 1000,
// turning socket notifications into endpoint states and alarms.
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "board/board_look.h"
#include "board/board_scroller.h"
#include "board/frame_invalidator.h"
#include "monitor/alarm.h"
#include "monitor/endpoint_list.h"
#include "monitor/event_log.h"
#include "monitor/metrics_server.h"
#include "monitor/outcome_counts.h"
#include "monitor/probe_walk.h"
#include "platform/timer_table.h"

class QHelpEvent;

namespace kelvanor {

inline constexpr unsigned WM_PROBE_EVENT = 0x8001;  // WM_APP + 1
inline constexpr int kRefreshTimerId = 1000;

// The refresh timer's period for refreshTime seconds: computed in 64 bits and kept
// within [1 s, INT32_MAX ms], so no setting can make a zero, negative or wrapped period.
int RefreshPeriodMs(std::int32_t refreshTime);

// How long a connect may stay pending: Windows' 21 s, but at most half the refresh
// period (never below 500 ms), so a silent host fails within every cycle instead of being
// superseded while it is still connecting.
std::chrono::milliseconds ConnectTimeoutFor(std::int32_t refreshTime);

class CKelvanorView : public QWidget {
  Q_OBJECT

 public:
  explicit CKelvanorView(QWidget* parent = nullptr);
  ~CKelvanorView() override;

  SettingData& Setting() { return m_Setting; }

  // The first cycle, then the refresh timer.
  void OnInitialUpdate();
  // The refresh command: a cycle at once; the timer keeps its phase.
  void OnRefresh() { RefreshStatus(); }
  // After confirmed settings: stops the refresh timer and starts it with the new period.
  void RestartRefreshTimer();
  void OnTimer(int timerId);

  // Starts the cycle's walk over the list: as many entries as one slice allows at once,
  // the rest on the following event-loop turns. Returns at once either way. Probes hold
  // no more descriptors at once than the open-file limit leaves them: an entry whose turn
  // has not come waits, grey, and is started as descriptors free up.
  void RefreshStatus();
  bool StartProbe(const std::string& ip, int port, IPInfo& entry);
  int OnSocketEvent(SOCKET socket, std::uint32_t word);

  const TimerTable& Timers() const { return m_Timers; }
  const AlarmWorker& Alarm() const { return m_Alarm; }
  // True while the current cycle still has entries to start.
  bool IsWalking() const { return m_Walk.Active(); }
  // How many descriptors the probes may hold at once, as of the cycle's start.
  std::size_t ProbeWindow() const { return m_ProbeWindow; }

  // The endpoints by last outcome, as of now; CountsChanged tells at most once a frame.
  const OutcomeCounts& Counts() const { return m_Counts; }
  // Scrolls the board to the next endpoint that last failed after the one at the top (or
  // after the one this showed last, while the board has not moved since), wrapping round.
  void ShowNextFailure();

  // Silence: no alarm sounds until it is turned off or any endpoint's last outcome
  // changes, whichever comes first. Nothing of it is stored.
  void SetSilenced(bool silenced);
  bool Silenced() const { return m_Silenced; }

  // Puts the record's options into effect: the event log is opened or closed, the metrics
  // server started on its port or stopped.
  void ApplyOptions();
  const EventLog* Log() const { return m_EventLog.get(); }
  const MetricsServer* Metrics() const { return m_Metrics.get(); }

  // A slice always starts this many entries, so a short list is walked whole inside
  // RefreshStatus; beyond them it ends once its time is up.
  static constexpr std::size_t kEntriesPerSliceAtLeast = 32;
  static constexpr std::chrono::microseconds kSliceTime{4000};
  void SetSliceTime(std::chrono::microseconds time) { m_SliceTime = time; }  // tests pin it

 signals:
  void CountsChanged();
  void SilenceChanged(bool silenced);
  // The last outcome of the entry at `index` changed (it had none, or the other one).
  void EndpointChanged(std::size_t index, bool wasFailed, bool nowFailed);
  // The entry at `index` turned slow, or back to its usual speed (not by failing).
  void SlownessChanged(std::size_t index, bool slow);
  // The event log could not be written (reported once per run of failures).
  void EventLogFailed(const QString& reason);
  // The event log was written again after EventLogFailed.
  void EventLogRecovered();

 protected:
  bool event(QEvent* e) override;
  void timerEvent(QTimerEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  // Takes and starts the cycle's next entries for one slice, then leaves the rest to a
  // later turn.
  void WalkSlice();
  // Whether the walk's next turn comes at once, after the worker's closes, or when a
  // probe ends.
  void ScheduleWalk();
  // A probe ended or let its descriptor go: a waiting entry may start.
  void ResumeWalk();
  bool ProbeSlotFree() const;
  // More endpoints than the window: a probe's descriptor is given back at its outcome.
  bool WindowBound() const { return m_Setting.ipList.size() > m_ProbeWindow; }
  void SoundAlarm();
  // Creates, registers and connects the probe's socket once its target address is known.
  bool OpenProbe(IPInfo& entry);
  void OnLookedUp(std::size_t index, bool found);
  // The entry becomes Failed with the failure's table text. The box shows the probe's
  // message, unless the entry keeps failing with the same message, such a box is open
  // already (a failure that repeats on every tick must not stack one nested modal box
  // per tick) or, for a start made by the walk, the cycle has had its box.
  void ReportStartFailure(IPInfo& entry, const Socket& probe);
  // At most one probe "Error." box at a time.
  void ShowErrorBox(const std::string& message);
  // The entry's probe ended with `outcome`: its state, its last outcome and the counts.
  void NoteOutcome(IPInfo& entry, ProbeState outcome);
  // What a change of an entry's last outcome sets off.
  void LastOutcomeChanged(IPInfo& entry, std::optional<ProbeState> before);
  // Slow, with the option on, when the median of the last kSlowWindow connects is over
  // its threshold: one slow answer alone does not turn a tile amber.
  void NoteSlowness(IPInfo& entry);
  static constexpr std::size_t kSlowWindow = 5;
  // Whether a failed connect of this entry (none: a superseded probe) sounds the alarm.
  bool AlarmFor(const IPInfo* entry) const;
  void ShowDetails(QHelpEvent* e);
  // The metrics server runs on the option's port, or not at all: a port that cannot be
  // had is said in a box.
  void ApplyMetricsOption();
  // The entry's tile is repainted at the next frame, if it is in view.
  void TileChanged(const IPInfo& entry);

  SettingData m_Setting;
  BoardLook m_BoardLook = MakeBoardLook();
  TimerTable m_Timers{this};
  AlarmWorker m_Alarm;
  bool m_ErrorBoxOpen = false;
  ProbeWalk m_Walk;
  // Zero period: one slice of the walk per event-loop turn; a short wait while it waits
  // only for the worker's closes.
  QTimer m_WalkTimer;
  std::size_t m_ProbeWindow = SIZE_MAX;
  std::chrono::microseconds m_SliceTime = kSliceTime;
  bool m_InSlice = false;
  BoardScroller m_Scroller{this};
  FrameInvalidator m_Frame{this};
  OutcomeCounts m_Counts;
  bool m_CountsChanged = false;
  // The failure ShowNextFailure showed last, and the tile at the top just after.
  std::size_t m_ShownFailure = 0, m_TopWhenShown = SIZE_MAX;
  bool m_Silenced = false;
  std::unique_ptr<EventLog> m_EventLog;  // while the option is on
  std::unique_ptr<MetricsServer> m_Metrics;  // while the option is on
  // For the metrics: when the cycle began, and when the last outcome came.
  std::optional<std::chrono::steady_clock::time_point> m_CycleStart;
  std::chrono::steady_clock::time_point m_LastOutcomeAt;
  std::optional<std::chrono::steady_clock::duration> m_LastCycle;
};

}  // namespace kelvanor
