// Keys of CGridCtrl: navigation (arrows, Tab, Home/End, Page Up/Down), shortcuts, F2, and
// typed characters that open the in-place editor.
#include <QDialog>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <algorithm>

#include "grid/grid_ctrl.h"
#include "grid/in_place_edit.h"

namespace kelvanor {

namespace {

unsigned VirtualKeyOf(const QKeyEvent* event) {
  const int key = event->key();
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<unsigned>(key);  // 'A' .. 'Z'
  switch (key) {
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_F2: return VK_F2;
    case Qt::Key_Plus: return event->modifiers() & Qt::KeypadModifier ? unsigned{VK_ADD} : 0u;
    default: return 0;
  }
}

// The character a key press types, as the platform's character message carries it; 0 for
// keys that type nothing.
unsigned CharacterOf(const QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Backspace: return VK_BACK;
    default: break;
  }
  const QString text = event->text();
  if (text.isEmpty() || text[0].unicode() < 0x20 || text[0].unicode() == 0x7F) return 0;
  return text.toUcs4().value(0);
}

}  // namespace

bool CGridCtrl::InDialog() const { return qobject_cast<const QDialog*>(window()) != nullptr; }

// Tab is the grid's own while it handles the Tab key; a dialog keeps it otherwise. Qt asks
// only for Tab without Ctrl.
bool CGridCtrl::focusNextPrevChild(bool next) {
  if (m_bHandleTabKey) return false;
  return QAbstractScrollArea::focusNextPrevChild(next);
}

void CGridCtrl::keyPressEvent(QKeyEvent* event) {
  const unsigned key = VirtualKeyOf(event);
  // In a dialog Enter and Escape belong to the dialog's buttons.
  if ((key == VK_RETURN || key == VK_ESCAPE) && InDialog()) {
    event->ignore();
    return;
  }
  // The grid never claims Ctrl+Tab: in a dialog it moves to the next control.
  if (key == VK_TAB && event->modifiers() & Qt::ControlModifier && InDialog()) {
    QAbstractScrollArea::focusNextPrevChild(!(event->modifiers() & Qt::ShiftModifier));
    return;
  }
  if (key) OnKeyDown(key, event->modifiers());
  const unsigned ch = CharacterOf(event);
  if (ch >= 0x80)
    OnImeChar(ch, event->modifiers());
  else if (ch)
    OnChar(ch, event->modifiers());
  if (!key && !ch) event->ignore();
}

// The first character of a commit opens the editor; the rest goes on into that editor, so
// a commit is one edit with its text in order.
void CGridCtrl::inputMethodEvent(QInputMethodEvent* event) {
  event->accept();
  const QList<uint> commit = event->commitString().toUcs4();
  if (commit.isEmpty()) return;
  OnImeChar(commit.front(), QGuiApplication::keyboardModifiers());
  CGridCellBase* cell = GetCell(m_idCurrentCell.row, m_idCurrentCell.col);
  CInPlaceEdit* editor = cell ? cell->GetEditor() : nullptr;
  if (!editor) return;
  for (qsizetype i = 1; i < commit.size(); ++i) editor->HandleChar(commit[i]);
}

void CGridCtrl::OnChar(unsigned ch, Qt::KeyboardModifiers modifiers) {
  if (modifiers & Qt::ControlModifier || m_MouseMode != MM_IDLE || ch == VK_ESCAPE) return;
  if (ch == VK_TAB && m_bHandleTabKey) return;
  BeginCellEdit(m_idCurrentCell.row, m_idCurrentCell.col, QPoint(-1, -1), ch);
}

void CGridCtrl::OnImeChar(unsigned ch, Qt::KeyboardModifiers modifiers) {
  if (modifiers & Qt::ControlModifier || m_MouseMode != MM_IDLE || ch == VK_ESCAPE) return;
  BeginCellEdit(m_idCurrentCell.row, m_idCurrentCell.col, QPoint(-1, -1), ch);
}

// The cell a navigation key moves the focus to (the focus cell itself when it cannot move).
CCellID CGridCtrl::NextCellForKey(unsigned key, Qt::KeyboardModifiers modifiers, bool* changeLine, bool* handled) {
  const bool shift = modifiers & Qt::ShiftModifier, ctrl = modifiers & Qt::ControlModifier;
  CCellID next = m_idCurrentCell;
  auto shownRow = [&](int r) { return GetRowHeight(r) > 0; };
  auto shownCol = [&](int c) { return GetColumnWidth(c) > 0; };
  auto rowBelow = [&](int r) { for (++r; r < m_nRows && !shownRow(r); ++r) {} return r < m_nRows ? r : -1; };
  auto rowAbove = [&](int r) { for (--r; r >= m_nFixedRows && !shownRow(r); --r) {} return r >= m_nFixedRows ? r : -1; };
  auto colRight = [&](int c) { for (++c; c < m_nCols && !shownCol(c); ++c) {} return c < m_nCols ? c : -1; };
  auto colLeft = [&](int c) { for (--c; c >= m_nFixedCols && !shownCol(c); --c) {} return c >= m_nFixedCols ? c : -1; };
  *handled = true;
  switch (key) {
    case VK_DELETE:
      CutSelection();
      break;
    case VK_DOWN:
      if (rowBelow(next.row) >= 0) next.row = rowBelow(next.row);
      break;
    case VK_UP:
      if (rowAbove(next.row) >= 0) next.row = rowAbove(next.row);
      break;
    case VK_TAB:
      if (!shift) {
        if (m_bTabLeavesControl) {
          QAbstractScrollArea::focusNextPrevChild(true);
          *handled = false;
          return m_idCurrentCell;
        }
        if (colRight(next.col) < 0 && next.row < m_nRows - 1) {
          // To the first shown column of the next shown row; with every row below hidden
          // the focus stays where it is rather than leaving the table.
          const int row = rowBelow(next.row), col = colRight(m_nFixedCols - 1);
          if (row >= 0 && col >= 0) {
            next = CCellID(row, col);
            *changeLine = true;
          }
          break;
        }
      } else if (colLeft(next.col) < 0 && next.row > m_nFixedRows) {
        int row = next.row - 1;
        while (row > m_nFixedRows && !shownRow(row)) --row;
        const int col = colLeft(m_nCols);
        if (col >= 0) {
          next = CCellID(row, col);
          *changeLine = true;
        }
        break;
      }
      [[fallthrough]];
    case VK_RIGHT:
    case VK_LEFT: {
      const bool right = key == VK_RIGHT || (key == VK_TAB && !shift);
      const int col = right ? colRight(next.col) : colLeft(next.col);
      if (col >= 0) next.col = col;
      break;
    }
    case VK_NEXT:
    case VK_PRIOR: {
      const int before = GetFirstScrolledCell().row;
      OnVScroll(key == VK_NEXT ? SB_PAGEDOWN : SB_PAGEUP);
      const int increment = GetFirstScrolledCell().row - before;
      if (key == VK_NEXT)
        next.row = increment == 0 ? m_nRows - 1 : std::min(m_nRows - 1, next.row + increment);
      else
        next.row = increment == 0 ? m_nFixedRows : std::max(m_nFixedRows, next.row + increment);
      break;
    }
    // The nearest shown row and column to the edge; where every one is hidden the focus
    // keeps its row or column.
    case VK_HOME: {
      if (ctrl) OnVScroll(SB_TOP);
      OnHScroll(SB_LEFT);
      const int row = rowBelow((ctrl ? m_nFixedRows : next.row) - 1), col = colRight(m_nFixedCols - 1);
      if (row >= 0) next.row = row;
      if (col >= 0) next.col = col;
      break;
    }
    case VK_END: {
      if (ctrl) OnVScroll(SB_BOTTOM);
      OnHScroll(SB_RIGHT);
      const int row = rowAbove((ctrl ? m_nRows - 1 : next.row) + 1), col = colLeft(m_nCols);
      if (row >= 0) next.row = row;
      if (col >= 0) next.col = col;
      break;
    }
    case VK_F2:
      BeginCellEdit(m_idCurrentCell.row, m_idCurrentCell.col, QPoint(-1, -1), VK_LBUTTON);
      break;
    default:
      *handled = false;
      break;
  }
  return next;
}

void CGridCtrl::OnKeyDown(unsigned key, Qt::KeyboardModifiers modifiers) {
  if (!IsValid(m_idCurrentCell)) return;
  const bool shift = modifiers & Qt::ShiftModifier, ctrl = modifiers & Qt::ControlModifier;
  if (ctrl) {
    if (key == VK_INSERT || key == 'C') OnEditCopy();
    if (key == 'A') OnEditSelectAll();
    if (key == 'V') OnEditPaste();
    if (key == 'X') OnEditCut();
    if (key == VK_ADD) {
      AutoSizeColumns();
      viewport()->update();
    }
  }
  if (shift && key == VK_INSERT) {
    OnEditPaste();
    return;
  }
  bool changeLine = false, handled = false;
  const CCellID next = NextCellForKey(key, modifiers, &changeLine, &handled);
  if (!handled || next == m_idCurrentCell) return;

  if (m_MouseMode == MM_IDLE) {
    m_PrevSelectedCellMap.Clear();
    m_MouseMode = MM_SELECT_CELLS;
    if (!shift || key == VK_TAB) m_SelectionStartCell = next;
    NotifyParent(next.row, next.col, GN_SELCHANGING);
    ExtendSelection(next);
    NotifyParent(next.row, next.col, GN_SELCHANGED);
    m_MouseMode = MM_IDLE;
  }
  SetFocusCell(next);

  if (!IsCellVisible(next.row, next.col)) {
    switch (key) {
      case VK_RIGHT: OnHScroll(SB_LINERIGHT); break;
      case VK_LEFT: OnHScroll(SB_LINELEFT); break;
      case VK_DOWN: OnVScroll(SB_LINEDOWN); break;
      case VK_UP: OnVScroll(SB_LINEUP); break;
      case VK_TAB:
        if (changeLine) {
          OnVScroll(shift ? SB_LINEUP : SB_LINEDOWN);
          SetScrollPosition(SB_HORZ, shift ? GetScrollLimit(SB_HORZ) : 0);
        } else {
          OnHScroll(shift ? SB_LINELEFT : SB_LINERIGHT);
        }
        break;
      default: break;
    }
    EnsureVisible(next);
    viewport()->update();
  }
  EnsureVisible(next);
}

}  // namespace kelvanor
