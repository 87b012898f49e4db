// Dragging a divider of CGridCtrl: the start with the pointer's allowed range, the
// inverted tracking line while dragging, and the new size on release. The pointer is kept
// in its range by clamping the positions the grid is given.
#include <QPainter>
#include <algorithm>

#include "grid/grid_ctrl.h"

namespace kelvanor {

void CGridCtrl::OnBeginResize(QPoint point) {
  const bool columns = m_MouseMode == MM_SIZE_COLUMN;
  const GdiRect client = GetClientRect();
  GdiRect visible;
  GetVisibleScrollingCells(&visible);
  const int last = columns ? m_nCols - 1 : m_nRows - 1;
  const bool lastIsThin = (columns ? GetColumnWidth(last) : GetRowHeight(last)) < m_nResizeCaptureRange;
  const int along = columns ? point.x() : point.y();
  int& index = columns ? m_LeftClickDownCell.col : m_LeftClickDownCell.row;
  // A last row or column too thin to hold the pointer is taken at the end of the cells.
  if (lastIsThin && std::abs(along - (columns ? visible.right : visible.bottom)) < m_nResizeCaptureRange)
    index = last;
  auto originOf = [&](int i, QPoint* origin) {
    return columns ? GetCellOrigin(0, i, origin) : GetCellOrigin(i, m_LeftClickDownCell.col, origin);
  };
  QPoint start;
  if (!originOf(index, &start)) return;
  MoveTrackingLine(columns ? QRect(point.x(), client.top, 2, client.Height())
                           : QRect(client.left, point.y(), client.Width(), 2));
  // Just past a divider the divider belongs to the row or column before.
  if (along - (columns ? start.x() : start.y()) < m_nResizeCaptureRange) {
    if (!(index == last && lastIsThin)) --index;
    if (!(columns ? GetCellOrigin(0, index, &start) : GetCellOrigin(index, 0, &start))) return;
  }
  // From one pixel past the cell's edge to the size of the scrollable part of the window.
  if (columns) {
    const int span = std::max(1, client.Width() - GetFixedColumnWidth());
    m_rcResizeConfine = QRect(start.x() + 1, client.top, span, client.Height());
  } else {
    const int span = std::max(1, client.Height() - GetFixedRowHeight());
    m_rcResizeConfine = QRect(client.left, start.y() + 1, client.Width(), span);
  }
}

void CGridCtrl::OnTrackResize(QPoint point) {
  const QPoint at = ConfinedPoint(point);
  const GdiRect client = GetClientRect();
  MoveTrackingLine(m_MouseMode == MM_SIZE_COLUMN ? QRect(at.x(), client.top, 2, client.Height())
                                                  : QRect(client.left, at.y(), client.Width(), 2));
}

void CGridCtrl::OnEndResize(QPoint point) {
  const bool columns = m_MouseMode == MM_SIZE_COLUMN;
  const QPoint at = ConfinedPoint(point);
  m_rcResizeConfine = QRect();
  MoveTrackingLine(QRect());
  if (at == m_LeftClickDownPoint || at == QPoint(0, 0)) return;
  QPoint start;
  if (!GetCellOrigin(m_LeftClickDownCell.row, m_LeftClickDownCell.col, &start)) return;
  if (columns)
    SetColumnWidth(m_LeftClickDownCell.col, std::max(at.x() - start.x(), 0));
  else
    SetRowHeight(m_LeftClickDownCell.row, std::max(at.y() - start.y(), 0));
  UpdateScrollBars();
  viewport()->update();
}

void CGridCtrl::CancelResize() {
  m_rcResizeConfine = QRect();
  MoveTrackingLine(QRect());
}

QPoint CGridCtrl::ConfinedPoint(QPoint point) const {
  const QRect& r = m_rcResizeConfine;
  if (r.isNull()) return point;
  return QPoint(std::clamp(point.x(), r.left(), r.right()), std::clamp(point.y(), r.top(), r.bottom()));
}

// Only the strips under the old and the new line are repainted: the paint that restores
// the old strip draws the cells, the one of the new strip inverts them.
void CGridCtrl::MoveTrackingLine(QRect line) {
  if (!m_rcTrackLine.isNull()) viewport()->update(m_rcTrackLine);
  m_rcTrackLine = line;
  if (!m_rcTrackLine.isNull()) viewport()->update(m_rcTrackLine);
}

void CGridCtrl::InvertTrackingLine(QPainter& painter) const {
  if (m_rcTrackLine.isNull()) return;
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter.fillRect(m_rcTrackLine, Qt::white);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

}  // namespace kelvanor
