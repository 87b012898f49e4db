// Copy, cut, paste and Delete of CGridCtrl's cell text through the clipboard.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <algorithm>
#include <vector>

#include "grid/clipboard_text.h"
#include "grid/grid_ctrl.h"
#include "grid/in_place_edit.h"

namespace kelvanor {

// Rows and columns of size 0 are left out; an unselected cell inside the range gives an
// empty field. Lines end in CR LF except the last.
std::string CGridCtrl::SelectionText() const {
  const CCellBlock range = GetSelectedCellRange();
  std::string text;
  for (int r = range.minRow; r <= range.maxRow; ++r) {
    if (GetRowHeight(r) == 0) continue;
    for (int c = range.minCol; c <= range.maxCol; ++c) {
      if (GetColumnWidth(c) == 0) continue;
      if (IsCellSelected(r, c)) text += GetCell(r, c)->GetText();
      if (c != range.maxCol) text += '\t';
    }
    if (r != range.maxRow) text += "\r\n";
  }
  return text;
}

QMimeData* CGridCtrl::CopySelection() {
  const CCellBlock range = GetSelectedCellRange();
  if (!range.IsValid() || range.maxRow >= m_nRows || range.maxCol >= m_nCols) return nullptr;
  return MakeClipboardData(SelectionText());
}

bool CGridCtrl::CanEditCopy() const { return GetSelectedCount() > 0; }
bool CGridCtrl::CanEditCut() const { return m_bEditable && GetSelectedCount() > 0; }

bool CGridCtrl::CanEditPaste() const {
  const CCellID focus = m_idCurrentCell;
  return IsValid(focus) && m_bEditable && !(GetItemState(focus.row, focus.col) & CELL_READONLY) &&
         HasClipboardText(QGuiApplication::clipboard()->mimeData());
}

void CGridCtrl::OnEditCopy() {
  if (QMimeData* data = CopySelection()) QGuiApplication::clipboard()->setMimeData(data);
}

void CGridCtrl::OnEditCut() {
  if (!m_bEditable) return;
  QMimeData* data = CopySelection();
  if (!data) return;
  QGuiApplication::clipboard()->setMimeData(data);
  CutSelection();
}

// Each cleared cell is announced and may be refused on its own; read-only cells stay.
void CGridCtrl::CutSelection() {
  if (!m_bEditable) return;
  std::vector<CCellID> cells;
  cells.reserve(static_cast<size_t>(GetSelectedCount()));
  m_SelectedCellMap.ForEach([&](CCellID cell) { cells.push_back(cell); });
  std::sort(cells.begin(), cells.end(),
            [](CCellID a, CCellID b) { return a.row != b.row ? a.row < b.row : a.col < b.col; });
  for (const CCellID cell : cells) ReplaceCellText(cell.row, cell.col, std::string());
}

void CGridCtrl::OnEditPaste() {
  if (!m_bEditable) return;
  const CCellBlock range = GetSelectedCellRange();
  CCellID target = range.IsValid() ? CCellID(range.minRow, range.minCol) : m_idCurrentCell;
  if (!IsValid(target)) target = GetFirstScrolledCell();
  if (!IsValid(target)) return;
  // The cell's own editor takes the paste into the text being edited.
  if (const CGridCellBase* cell = GetCell(target.row, target.col); cell && cell->IsEditing() && cell->GetEditor()) {
    cell->GetEditor()->paste();
    return;
  }
  PasteFromClipboard(target, QGuiApplication::clipboard()->mimeData(), true);
}

// Hidden rows are skipped for good (later lines move down with them); hidden columns per
// line. Fields and lines beyond the table are dropped.
bool CGridCtrl::PasteFromClipboard(CCellID target, const QMimeData* data, bool select) {
  if (!IsValid(target) || !m_bEditable || (GetItemState(target.row, target.col) & CELL_READONLY) ||
      !HasClipboardText(data))
    return false;
  const std::string text = ClipboardGbkText(data);
  int rowOffset = 0, maxRow = -1, maxCol = -1;
  for (size_t start = 0; start <= text.size(); ++rowOffset) {
    const size_t end = std::min(text.find('\n', start), text.size());
    const std::vector<std::string> fields = SplitPastedLine(std::string_view(text).substr(start, end - start));
    start = end + 1;
    int row = target.row + rowOffset;
    while (row < m_nRows && GetRowHeight(row) == 0) ++row, ++rowOffset;
    int colOffset = 0;
    for (const std::string& field : fields) {
      int col = target.col + colOffset;
      while (col < m_nCols && GetColumnWidth(col) == 0) ++col, ++colOffset;
      if (IsValid(row, col)) {
        ReplaceCellText(row, col, field);
        SetItemState(row, col, GetItemState(row, col) & ~CELL_SELECTED);
        maxRow = std::max(maxRow, row);
        maxCol = std::max(maxCol, col);
      }
      ++colOffset;
    }
  }
  if (select) {
    SetSelectedRange(target.row, target.col, maxRow, maxCol, true, true);
  } else {
    ClearSelection();
    viewport()->update();
  }
  return true;
}

}  // namespace kelvanor
