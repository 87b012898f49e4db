// Painting of CGridCtrl: cells draw themselves, this file decides which, where and in what
// order, and adds background and grid lines.
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "grid/grid_ctrl.h"

namespace kelvanor {

// Straight onto the viewport: Qt already paints widgets into a back buffer, and a second
// off-screen image per paint cost more than all the cells (a fresh one faults in its pages).
void CGridCtrl::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  {
    GdiDC dc(&painter, event->rect());
    OnDraw(&dc);
  }
  InvertTrackingLine(painter);
}

// Draws rows firstRow..lastRow from pixel top and columns firstCol..lastCol from pixel
// left, skipping hidden ones; a null clip draws every cell, else only those meeting it.
void CGridCtrl::DrawCellsIn(GdiDC* dc, const GdiRect* clip, int firstRow, int lastRow, int firstCol, int lastCol,
                            int top, int left) {
  int y = top;
  for (int r = firstRow; r <= lastRow; ++r) {
    const int height = GetRowHeight(r);
    if (height < 1) continue;
    const GdiRect rowRect{0, y, 0, y + height - 1};
    y += height;
    if (clip && rowRect.top >= clip->bottom) break;  // the clip box's bottom is exclusive
    if (clip && rowRect.bottom < clip->top) continue;
    int x = left;
    for (int c = firstCol; c <= lastCol; ++c) {
      const int width = GetColumnWidth(c);
      if (width < 1) continue;
      const GdiRect rect{x, rowRect.top, x + width - 1, rowRect.bottom};
      x += width;
      if (clip && rect.left >= clip->right) break;
      if (clip && rect.right < clip->left) continue;
      if (CGridCellBase* cell = GetCell(r, c)) {
        cell->SetPosition(r, c);
        cell->Draw(dc, r, c, rect, false);
      }
    }
  }
}

void CGridCtrl::OnDraw(GdiDC* dc) {
  const GdiRect clip = dc->GetClipBox();
  if (clip.IsEmpty()) return;
  EraseBkgnd(dc);

  const int fixedHeight = GetFixedRowHeight(), fixedWidth = GetFixedColumnWidth();
  const CCellID topLeft = GetFirstScrolledCell();
  GdiRect visibleRect;
  const CCellBlock visible = GetVisibleScrollingCells(&visibleRect);

  DrawCellsIn(dc, nullptr, 0, m_nFixedRows - 1, 0, m_nFixedCols - 1, 0, 0);
  DrawCellsIn(dc, &clip, topLeft.row, visible.maxRow, 0, m_nFixedCols - 1, fixedHeight, 0);
  DrawCellsIn(dc, &clip, 0, m_nFixedRows - 1, topLeft.col, visible.maxCol, 0, fixedWidth);
  DrawCellsIn(dc, &clip, topLeft.row, visible.maxRow, topLeft.col, visible.maxCol, fixedHeight, fixedWidth);
  DrawGridLines(dc, visible, visibleRect);
}

void CGridCtrl::DrawGridLines(GdiDC* dc, const CCellBlock& visible, const GdiRect& visibleRect) {
  const int fixedHeight = GetFixedRowHeight(), fixedWidth = GetFixedColumnWidth();
  const GdiPen previous = dc->SelectPen({GdiPen::Solid, 0, m_crGridLineColour});
  // One line on the last pixel of each shown row or column, from the fixed band to the end
  // of the visible cells.
  auto lines = [](const SizeIndex& sizes, int first, int last, int start, auto draw) {
    for (int i = first; i <= last; ++i) {
      if (sizes.Size(i) <= 0) continue;
      start += sizes.Size(i);
      draw(start - 1);
    }
  };
  if (m_nGridLines == GVL_VERT || m_nGridLines == GVL_BOTH) {
    lines(m_Cells.widths(), visible.minCol, visible.maxCol, fixedWidth, [&](int x) {
      dc->MoveTo(x, fixedHeight);
      dc->LineTo(x, visibleRect.bottom);
    });
  }
  if (m_nGridLines == GVL_HORZ || m_nGridLines == GVL_BOTH) {
    lines(m_Cells.heights(), visible.minRow, visible.maxRow, fixedHeight, [&](int y) {
      dc->MoveTo(fixedWidth, y);
      dc->LineTo(visibleRect.right, y);
    });
  }
  dc->SelectPen({GdiPen::Null, 0, 0});
  dc->SelectPen(previous);
}

void CGridCtrl::EraseBkgnd(GdiDC* dc) {
  const GdiRect clip = dc->GetClipBox();
  if (clip.IsEmpty()) return;
  GdiRect visible;
  GetVisibleScrollingCells(&visible);
  const int fixedWidth = GetFixedColumnWidth(), fixedHeight = GetFixedRowHeight();
  if (clip.left < fixedWidth && clip.top < fixedHeight)
    dc->FillSolidRect({clip.left, clip.top, fixedWidth, fixedHeight}, m_cellFixedRowColDef.GetBackColor());
  // The fixed-column band starts below the corner, so the corner keeps its own colour.
  if (clip.left < fixedWidth && clip.top < visible.bottom)
    dc->FillSolidRect({clip.left, std::max(clip.top, fixedHeight), fixedWidth, visible.bottom},
                      m_cellFixedColDef.GetBackColor());
  if (clip.top < fixedHeight && clip.right > fixedWidth && clip.left < visible.right)
    dc->FillSolidRect({fixedWidth - 1, clip.top, visible.right, fixedHeight}, m_cellFixedRowDef.GetBackColor());
  const GdiRect inter{std::max(visible.left, clip.left), std::max(visible.top, clip.top),
                      std::min(visible.right, clip.right), std::min(visible.bottom, clip.bottom)};
  if (!inter.IsEmpty())
    dc->FillSolidRect({std::max(fixedWidth, inter.left), std::max(fixedHeight, inter.top), inter.right, inter.bottom},
                      m_cellDefault.GetBackColor());
  if (visible.right < clip.right) dc->FillSolidRect({visible.right, clip.top, clip.right, clip.bottom}, m_crGridBkColour);
  if (visible.bottom < clip.bottom && clip.left < visible.right)
    dc->FillSolidRect({clip.left, visible.bottom, visible.right, clip.bottom}, m_crGridBkColour);
}

bool CGridCtrl::RedrawCell(int row, int col, GdiDC* dc) {
  GdiRect rect;
  if (!IsCellVisible(row, col) || !GetCellRect(row, col, &rect)) return false;
  // Outside a paint there is no window device context on this platform: the cell is
  // invalidated and painted with the next paint.
  if (!dc) return InvalidateCellRect(row, col);
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return false;
  cell->SetPosition(row, col);
  const bool drawn = cell->Draw(dc, row, col, rect, true);
  if (row >= m_nFixedRows && col >= m_nFixedCols) {
    const GdiPen previous = dc->SelectPen({GdiPen::Solid, 0, m_crGridLineColour});
    if (m_nGridLines == GVL_HORZ || m_nGridLines == GVL_BOTH) {
      dc->MoveTo(rect.left, rect.bottom);
      dc->LineTo(rect.right + 1, rect.bottom);
    }
    if (m_nGridLines == GVL_VERT || m_nGridLines == GVL_BOTH) {
      dc->MoveTo(rect.right, rect.top);
      dc->LineTo(rect.right, rect.bottom + 1);
    }
    dc->SelectPen(previous);
  }
  return drawn;
}

bool CGridCtrl::RedrawRow(int row) {
  bool all = true;
  for (int c = 0; c < m_nCols; ++c) all = RedrawCell(row, c) && all;
  return all;
}

}  // namespace kelvanor
