#include "grid/title_tip.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <chrono>

#include "grid/measure_dc.h"

namespace kelvanor {

namespace {

constexpr std::uint32_t kNever = 0xFFFFFFFF;

std::uint32_t TickCount() {
  using namespace std::chrono;
  return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

CTitleTip::CTitleTip()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_dwDblClickMsecs(static_cast<std::uint32_t>(QApplication::doubleClickInterval())) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setMouseTracking(true);
  setCursor(Qt::ArrowCursor);
}

CTitleTip::~CTitleTip() {
  m_pPressTarget = nullptr;
  HideTip();
}

bool CTitleTip::Create(QWidget* parentWnd) {
  if (m_bCreated) return true;
  if (!parentWnd) return false;
  m_pParentWnd = parentWnd;
  m_bCreated = true;
  return true;
}

bool CTitleTip::DestroyWindow() {
  HideTip();
  m_bCreated = false;
  return true;
}

void CTitleTip::ShowTip(const GdiRect& titleRect, const std::string& text, int /*xOffset*/,
                        const GdiRect* hoverRect, const LogFont* font, COLORREF textColor, COLORREF backColor) {
  if (!m_bCreated && !Create(m_pParentWnd)) return;
  if (titleRect.IsEmpty() || isVisible() || !m_pParentWnd) return;
  GdiRect hover = hoverRect ? *hoverRect : titleRect;
  ++hover.right;
  ++hover.bottom;
  // Kept in screen coordinates: the tip moves below, so its own client coordinates would
  // be those of wherever it was shown last.
  m_rcHover = QRect(m_pParentWnd->mapToGlobal(QPoint(hover.left, hover.top)), QSize(hover.Width(), hover.Height()));
  if (!QApplication::focusWidget()) return;

  const QFont shownFont = font ? FontFromLogFont(*font) : m_pParentWnd->font();
  // Only what the screen can show is measured (a megabyte text would be megapixels wide),
  // but always enough to tell whether the text fits its cell.
  const int left = m_pParentWnd->mapToGlobal(QPoint(titleRect.left, titleRect.top)).x();
  const int room = std::max(m_pParentWnd->screen()->geometry().right() + 1 - left, titleRect.Width() + 1);
  std::string shown(1, ' ');
  shown.append(LeadingPart(text, room));
  shown += ' ';
  MeasureDC measure;
  if (!measure.dc()) return;
  measure.dc()->SelectFont(shownFont);
  const int width = std::min(measure.dc()->GetTextExtent(shown).width(), room);  // outline fonts have no overhang
  if (titleRect.left + width <= titleRect.right) return;

  const int height = titleRect.Height();
  m_Image = QImage(width, height, QImage::Format_RGB32);
  m_Image.fill(Qt::black);  // the one-pixel window border
  {
    QPainter painter(&m_Image);
    GdiDC dc(&painter, QRect(0, 0, width, height));
    dc.SetWindowOrg(-1, -1);  // the client area starts inside the border
    const GdiRect client{0, 0, width - 2, height - 2};
    dc.FillSolidRect(client, backColor != CLR_DEFAULT ? backColor : GetSysColor(COLOR_INFOBK));
    if (textColor != CLR_DEFAULT) dc.SetTextColor(textColor);
    dc.SetBkMode(TRANSPARENT);
    dc.SelectFont(shownFont);
    GdiRect at{0, 0, width - 2, height - 2};
    dc.DrawText(shown, at, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
  }
  setGeometry(QRect(m_pParentWnd->mapToGlobal(QPoint(titleRect.left, titleRect.top)), QSize(width, height)));
  m_rcHover &= geometry();  // off the tip is off the cell's text: the pointer has left it
  show();
  raise();
  qApp->installEventFilter(this);
}

void CTitleTip::HideTip() {
  if (!m_bCreated) return;
  if (!m_pPressTarget) qApp->removeEventFilter(this);
  hide();
}

void CTitleTip::PointerMovedTo(QPoint global) {
  if (isVisible() && !m_rcHover.contains(global)) HideTip();
}

void CTitleTip::leaveEvent(QEvent* /*event*/) { PointerMovedTo(QCursor::pos()); }

void CTitleTip::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.drawImage(0, 0, m_Image);
}

QWidget* CTitleTip::WindowUnder(QPoint global) const {
  QWidget* target = QApplication::widgetAt(global);
  return target == this ? m_pParentWnd.data() : target;
}

void CTitleTip::PostMouse(QWidget* target, QEvent::Type type, const QMouseEvent* event) {
  const QPointF global = event->globalPosition();
  QCoreApplication::postEvent(target, new QMouseEvent(type, target->mapFromGlobal(global), global, event->button(),
                                                      event->buttons(), event->modifiers()));
}

void CTitleTip::mouseMoveEvent(QMouseEvent* event) {
  if (m_rcHover.contains(event->globalPosition().toPoint())) return;
  HideTip();
  if (QWidget* target = WindowUnder(event->globalPosition().toPoint())) PostMouse(target, QEvent::MouseMove, event);
}

void CTitleTip::mousePressEvent(QMouseEvent* event) {
  bool doubleClick = false;
  if (event->button() == Qt::LeftButton) {
    const std::uint32_t now = TickCount();
    doubleClick = m_dwLastLButtonDown != kNever && now - m_dwLastLButtonDown <= m_dwDblClickMsecs;
    m_dwLastLButtonDown = now;
  }
  m_pPressTarget = nullptr;
  HideTip();
  QWidget* target = WindowUnder(event->globalPosition().toPoint());
  if (!target) return;
  m_pPressTarget = target;
  // Hidden, the tip gets no more of this click as a widget, and the widget beneath never
  // saw its press: the rest of the click is taken as the windows receive it.
  qApp->installEventFilter(this);
  PostMouse(target, doubleClick ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress, event);
}

bool CTitleTip::FollowClick(QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      PostMouse(m_pPressTarget, event->type(), mouse);
      if (event->type() == QEvent::MouseButtonRelease && mouse->buttons() == Qt::NoButton) {
        m_pPressTarget = nullptr;
        if (!isVisible()) qApp->removeEventFilter(this);
      }
      return true;
    }
    case QEvent::MouseButtonDblClick:  // the platform's own; the tip has posted its own already
      return true;
    default:
      return false;
  }
}

// The rest of a click begun on the tip goes where its press went. Keys go to the focus
// window anyway; the tip only has to get out of their way, and away once the application
// has no focus window.
bool CTitleTip::eventFilter(QObject* watched, QEvent* event) {
  if (m_pPressTarget && watched->isWindowType() && FollowClick(event)) return true;
  switch (event->type()) {
    case QEvent::KeyPress:
      HideTip();
      break;
    case QEvent::ApplicationDeactivate:
    case QEvent::FocusOut:
      if (!QApplication::focusWidget()) HideTip();
      break;
    default:
      break;
  }
  return false;
}

}  // namespace kelvanor
