// Sorting CGridCtrl's rows by the text of one column.
#include <QGuiApplication>
#include <utility>

#include "grid/grid_ctrl.h"

namespace kelvanor {

namespace {

// Texts compare as bytes, case-sensitively. GBK lead bytes (0x81-0xFE) lie above every
// single-byte character, so byte order is the order character by character. A missing
// cell equals anything.
int CompareCells(const CGridCellBase* a, const CGridCellBase* b) {
  if (!a || !b) return 0;
  const int result = a->GetText().compare(b->GetText());
  return (result > 0) - (result < 0);
}

}  // namespace

void CGridCtrl::SortOnHeaderClick(int col) {
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  SortByColumn(col, !(col == m_nSortColumn && m_bAscending));
  QGuiApplication::restoreOverrideCursor();
  viewport()->update();
}

void CGridCtrl::SortByColumn(int col, bool ascending) {
  SetSortColumn(col);
  m_bAscending = ascending;
  ClearSelection();
  SetFocusCell(-1, -1);
  if (col < 0 || col >= m_nCols || m_nRows - m_nFixedRows < 2) return;
  SortRows(m_nFixedRows, m_nRows - 1, col, ascending);
}

// Cells change places with their rows, and each row keeps its height.
void CGridCtrl::ExchangeRows(int a, int b) {
  for (int c = 0; c < m_nCols; ++c) {
    std::swap(m_Cells.Slot(a, c), m_Cells.Slot(b, c));
    if (CGridCellBase* cell = GetCell(a, c)) cell->SetPosition(a, c);
    if (CGridCellBase* cell = GetCell(b, c)) cell->SetPosition(b, c);
  }
  const int heightA = GetRowHeight(a), heightB = GetRowHeight(b);
  if (heightA == heightB) return;
  m_Cells.SetHeight(a, heightB);
  m_Cells.SetHeight(b, heightA);
}

// Partitions around the middle row's cell; the smaller part is sorted by recursion and the
// larger by the loop, so the stack stays within log2(rows) frames for any order.
void CGridCtrl::SortRows(int low, int high, int col, bool ascending) {
  const int sign = ascending ? 1 : -1;
  while (low < high) {
    const CGridCellBase* pivot = GetCell((low + high) / 2, col);
    int lo = low, hi = high;
    while (lo <= hi) {
      while (lo < high && sign * CompareCells(GetCell(lo, col), pivot) < 0) ++lo;
      while (hi > low && sign * CompareCells(GetCell(hi, col), pivot) > 0) --hi;
      if (lo <= hi) {
        if (CompareCells(GetCell(lo, col), GetCell(hi, col)) != 0) ExchangeRows(lo, hi);
        ++lo;
        --hi;
      }
    }
    // What is left to sort: rows low..hi (when low < hi) and rows lo..high (when lo < high).
    const int leftSize = hi - low, rightSize = high - lo;
    if (leftSize < rightSize) {
      if (low < hi) SortRows(low, hi, col, ascending);
      low = lo;
    } else {
      if (lo < high) SortRows(lo, high, col, ascending);
      high = hi;
    }
  }
}

}  // namespace kelvanor
