// Scroll bars, scroll codes, the wheel and EnsureVisible of CGridCtrl. Positions are
// pixels of scrollable content, kept in 64 bits by ScrollBarModel and shown (scaled if
// need be) on the Qt bars.
#include <QApplication>
#include <QMetaObject>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "grid/grid_ctrl.h"

namespace kelvanor {

namespace {
constexpr int kBorder = 1;  // the platform's border metric added back with a shown bar
}  // namespace

int CGridCtrl::ReadWheelScrollLines() { return QApplication::wheelScrollLines(); }

int CGridCtrl::ScrollBarThickness(int bar) const {
  return bar == SB_VERT ? verticalScrollBar()->sizeHint().width() : horizontalScrollBar()->sizeHint().height();
}

bool CGridCtrl::IsScrollBarShown(int bar) const { return m_nBarState & (bar == SB_VERT ? 0x2 : 0x1); }

std::int64_t CGridCtrl::GetScrollPosition(int bar) const {
  return bar == SB_VERT ? m_VScroll.Pos() : m_HScroll.Pos();
}

std::int64_t CGridCtrl::GetScrollLimit(int bar) const {
  return bar == SB_VERT ? m_VScroll.Limit() : m_HScroll.Limit();
}

void CGridCtrl::SetScrollPosition(int bar, std::int64_t position) {
  ResetTopLeft();
  ScrollBarModel& model = bar == SB_VERT ? m_VScroll : m_HScroll;
  model.SetPos(position);
  QScrollBar* qbar = bar == SB_VERT ? verticalScrollBar() : horizontalScrollBar();
  const QSignalBlocker block(qbar);
  qbar->setValue(model.BarValue(qbar));
}

void CGridCtrl::ApplyScrollBar(int bar) {
  const bool vertical = bar == SB_VERT;
  (vertical ? m_VScroll : m_HScroll).ApplyTo(vertical ? verticalScrollBar() : horizontalScrollBar());
}

void CGridCtrl::UpdateScrollBars() {
  ResetTopLeft();
  GdiRect rect = GetClientRect();
  if (rect.IsEmpty()) return;
  if (m_nBarState & 0x2) rect.right += ScrollBarThickness(SB_VERT) + kBorder;
  if (m_nBarState & 0x1) rect.bottom += ScrollBarThickness(SB_HORZ) + kBorder;
  const int fixedWidth = GetFixedColumnWidth(), fixedHeight = GetFixedRowHeight();
  rect.left += fixedWidth;
  rect.top += fixedHeight;
  if (rect.Width() <= 0 || rect.Height() <= 0) {
    m_nBarState = 0;
    m_HScroll.SetRange(0, 0);
    m_VScroll.SetRange(0, 0);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return;
  }
  GdiRect visible{fixedWidth, fixedHeight, rect.right, rect.bottom};
  const std::int64_t virtualWidth = GetTotalWidth() - fixedWidth;
  const std::int64_t virtualHeight = GetTotalHeight() - fixedHeight;
  if (visible.Height() < virtualHeight) visible.right -= ScrollBarThickness(SB_VERT);
  if (visible.Width() < virtualWidth) visible.bottom -= ScrollBarThickness(SB_HORZ);

  const bool vertical = visible.Height() < virtualHeight;
  const bool horizontal = visible.Width() < virtualWidth;
  m_nBarState = (vertical ? 0x2 : 0) | (horizontal ? 0x1 : 0);
  m_VScroll.SetRange(vertical ? virtualHeight - 1 : 0, vertical ? visible.Height() : 0);
  m_HScroll.SetRange(horizontal ? virtualWidth - 1 : 0, horizontal ? visible.Width() : 0);
  ApplyScrollBar(SB_VERT);
  ApplyScrollBar(SB_HORZ);
  // Showing or hiding a bar resizes the viewport, which comes back here through the
  // size handling's guard; the bars' ranges are already final.
  setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void CGridCtrl::resizeEvent(QResizeEvent* event) {
  static bool resizing = false;  // one guard for every grid of the process
  if (resizing) return;
  resizing = true;
  RegisterDropTarget();
  StopEditing();
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
  resizing = false;
}

void CGridCtrl::OnVScroll(int code) { Scroll(SB_VERT, code); }
void CGridCtrl::OnHScroll(int code) { Scroll(SB_HORZ, code); }

void CGridCtrl::Scroll(int bar, int code) {
  StopEditing();
  HideTitleTip();
  const bool vertical = bar == SB_VERT;
  const SizeIndex& sizes = vertical ? m_Cells.heights() : m_Cells.widths();
  const int fixedCount = vertical ? m_nFixedRows : m_nFixedCols;
  const int fixedSize = vertical ? GetFixedRowHeight() : GetFixedColumnWidth();
  const GdiRect client = GetClientRect();
  const int clientEnd = vertical ? client.bottom : client.right;
  const ScrollBarModel& model = vertical ? m_VScroll : m_HScroll;
  const std::int64_t position = model.Pos(), maximum = model.Max();
  const CCellID topLeft = GetFirstScrolledCell();
  const int first = vertical ? topLeft.row : topLeft.col;
  const QRect scrolledArea = vertical ? QRect(0, fixedSize, client.right, client.bottom - fixedSize)
                                      : QRect(fixedSize, 0, client.right - fixedSize, client.bottom);

  std::int64_t next = position;
  switch (code) {
    case SB_LINEUP:
      if (position <= 0 || first <= fixedCount) return;
      {
        int i = first - 1;
        while (i > fixedCount && sizes.Size(i) == 0) --i;
        next = std::max<std::int64_t>(0, position - sizes.Size(i));
      }
      break;
    case SB_LINEDOWN:
      if (position >= maximum || first >= sizes.Count()) return;
      {
        int i = first;
        while (i < sizes.Count() - 1 && sizes.Size(i) == 0) ++i;
        next = position + sizes.Size(i);
      }
      break;
    case SB_PAGEUP:
      if (position <= 0) return;
      next = std::max<std::int64_t>(0, position - (clientEnd - fixedSize));
      break;
    case SB_PAGEDOWN:
      if (position >= maximum) return;
      next = std::min(maximum, position + (clientEnd - fixedSize));
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      const QScrollBar* qbar = vertical ? verticalScrollBar() : horizontalScrollBar();
      SetScrollPosition(bar, model.FromBar(qbar, qbar->sliderPosition()));
      if (GetFirstScrolledCell() == topLeft) return;
      viewport()->update(scrolledArea);
      return;
    }
    case SB_TOP:
      if (position > 0) {
        SetScrollPosition(bar, 0);
        viewport()->update();
      }
      return;
    case SB_BOTTOM:
      if (position < maximum) {
        SetScrollPosition(bar, maximum);
        viewport()->update();
      }
      return;
    default:
      return;
  }
  SetScrollPosition(bar, next);
  if (code == SB_LINEDOWN && model.Pos() == position) return;
  viewport()->update(scrolledArea);
}

void CGridCtrl::OnBarAction(int bar, int action) {
  int code = -1;
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
    case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
    case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
    case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
    case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
    case QAbstractSlider::SliderMove: code = SB_THUMBTRACK; break;
    default: return;
  }
  Scroll(bar, code);
  // The slider takes the position the grid's own arithmetic chose, not Qt's step.
  QScrollBar* qbar = bar == SB_VERT ? verticalScrollBar() : horizontalScrollBar();
  const int value = (bar == SB_VERT ? m_VScroll : m_HScroll).BarValue(qbar);
  if (qbar->sliderPosition() != value) qbar->setSliderPosition(value);
}

void CGridCtrl::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  int code = 0, count = 0;
  if (m_nRowsPerWheelNotch == -1) {
    count = delta / 120;
    code = count > 0 ? SB_PAGEUP : SB_PAGEDOWN;
  } else {
    count = m_nRowsPerWheelNotch * delta / 120;
    code = count > 0 ? SB_LINEUP : SB_LINEDOWN;
  }
  // Queued, as posted scroll messages are: each runs on its own turn of the event loop.
  for (int i = 0; i < std::abs(count); ++i)
    QMetaObject::invokeMethod(this, [this, code] { OnVScroll(code); }, Qt::QueuedConnection);
  event->accept();
}

void CGridCtrl::EnsureVisible(int row, int col) {
  if (!IsValid(row, col)) return;
  QWidget* focus = QApplication::focusWidget();
  const CCellBlock visible = GetVisibleScrollingCells();
  for (int c = visible.maxCol + 1; c <= col; ++c)
    if (GetColumnWidth(c) > 0) OnHScroll(SB_LINERIGHT);
  for (int c = visible.minCol - 1; c >= col; --c)
    if (GetColumnWidth(c) > 0) OnHScroll(SB_LINELEFT);
  for (int r = visible.maxRow + 1; r <= row; ++r)
    if (GetRowHeight(r) > 0) OnVScroll(SB_LINEDOWN);
  for (int r = visible.minRow - 1; r >= row; --r)
    if (GetRowHeight(r) > 0) OnVScroll(SB_LINEUP);

  GdiRect rect;
  const GdiRect client = GetClientRect();
  // Each loop also stops once a step no longer moves the view, so a cell larger than the
  // view cannot keep it scrolling forever.
  auto stepWhile = [&](int bar, auto beyond) {
    while (GetCellRect(row, col, &rect) && beyond() && IsScrollBarShown(bar)) {
      const std::int64_t before = GetScrollPosition(bar);
      Scroll(bar, SB_LINEDOWN);
      if (GetScrollPosition(bar) == before) break;
    }
  };
  if (GetCellRect(row, col, &rect)) {
    stepWhile(SB_HORZ, [&] { return rect.right > client.right && rect.left > GetFixedColumnWidth(); });
    stepWhile(SB_VERT, [&] { return rect.bottom > client.bottom && rect.top > GetFixedRowHeight(); });
  }
  if (focus) focus->setFocus();
}

}  // namespace kelvanor
