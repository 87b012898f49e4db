#include "grid/in_place_edit.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "grid/grid_ctrl.h"
#include "platform/gbk.h"

namespace kelvanor {

CInPlaceEdit::CInPlaceEdit(CGridCtrl* grid, const GdiRect& rect, Qt::Alignment alignment, unsigned id, int row,
                           int col, const std::string& initialText, unsigned firstKey)
    : QLineEdit(grid->viewport()),
      m_pGrid(grid),
      m_nId(id),
      m_nRow(row),
      m_nColumn(col),
      m_sInitText(initialText),
      m_bExitOnArrows(firstKey != VK_LBUTTON),
      m_Rect{rect.left, rect.top, rect.right, rect.bottom} {
  setAlignment(alignment | Qt::AlignVCenter);
  setGeometry(m_Rect.ToQRect());
  setFont(grid->GetEditFont());
  setText(GbkToQString(initialText));
  show();
  setFocus(Qt::OtherFocusReason);

  const bool caretAtEnd = firstKey == VK_LBUTTON || firstKey == VK_RETURN || firstKey == VK_BACK;
  if (caretAtEnd) {
    deselect();
    setCursorPosition(static_cast<int>(text().size()));
  } else {
    selectAll();
  }
  const bool typed = firstKey == VK_BACK || !(caretAtEnd || firstKey == VK_TAB || (firstKey >= 32 && firstKey <= 40));
  // Typed at once: keys already queued for the window come to this editor next, after it.
  if (typed) HandleChar(firstKey);
}

bool CInPlaceEdit::event(QEvent* event) {
  // Alt+letter does nothing while editing: no dialog mnemonic or shortcut fires.
  if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->modifiers() & Qt::AltModifier) {
    event->accept();
    return true;
  }
  return QLineEdit::event(event);
}

void CInPlaceEdit::LeaveTo(unsigned key) {
  m_nLastChar = key;
  if (m_pGrid) m_pGrid->setFocus(Qt::OtherFocusReason);
}

void CInPlaceEdit::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() & Qt::AltModifier) return;
  switch (event->key()) {
    case Qt::Key_PageUp: case Qt::Key_PageDown: case Qt::Key_Left: case Qt::Key_Up: case Qt::Key_Right:
    case Qt::Key_Down:
      if (m_bExitOnArrows || event->modifiers() & Qt::ControlModifier) {
        static const std::pair<int, unsigned> keys[] = {{Qt::Key_PageUp, VK_PRIOR}, {Qt::Key_PageDown, VK_NEXT},
                                                        {Qt::Key_Left, VK_LEFT},    {Qt::Key_Up, VK_UP},
                                                        {Qt::Key_Right, VK_RIGHT},  {Qt::Key_Down, VK_DOWN}};
        for (const auto& [qt, vk] : keys)
          if (qt == event->key()) LeaveTo(vk);
        return;
      }
      break;
    case Qt::Key_Escape: HandleChar(VK_ESCAPE); return;
    case Qt::Key_Tab: case Qt::Key_Backtab: HandleChar(VK_TAB); return;
    case Qt::Key_Return: case Qt::Key_Enter: HandleChar(VK_RETURN); return;
    default: break;
  }
  QLineEdit::keyPressEvent(event);
  if (!event->text().isEmpty()) Grow();
}

void CInPlaceEdit::HandleChar(unsigned ch) {
  if (ch == VK_ESCAPE) {
    setText(GbkToQString(m_sInitText));
    LeaveTo(VK_ESCAPE);
    return;
  }
  if (ch == VK_TAB || ch == VK_RETURN) {
    LeaveTo(ch);
    return;
  }
  if (ch == VK_BACK) {
    backspace();
  } else {
    const char32_t c = ch;
    insert(QString::fromUcs4(&c, 1));
  }
  Grow();
}

void CInPlaceEdit::Grow() {
  const int width = fontMetrics().horizontalAdvance(text() + QStringLiteral("  "));
  if (width <= m_Rect.Width()) return;
  const int clientRight = parentWidget() ? parentWidget()->width() : m_Rect.right;
  m_Rect.right = std::min(m_Rect.left + width, clientRight);
  setGeometry(m_Rect.ToQRect());
}

void CInPlaceEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (event->reason() != Qt::PopupFocusReason) EndEdit();
}

void CInPlaceEdit::EndEdit() {
  static bool ending = false;  // one guard for every editor of the process
  if (ending || m_bClosed) return;
  ending = true;
  GridDispInfo info;
  info.idFrom = m_nId;
  info.code = GN_ENDEDIT;
  info.item.row = m_nRow;
  info.item.col = m_nColumn;
  info.item.mask = GIF_TEXT | GIF_PARAM;
  info.item.strText = QStringToGbk(text());
  info.item.lParam = m_nLastChar;
  m_bClosed = true;
  if (m_pGrid) m_pGrid->OnEndInPlaceEdit(info);
  hide();
  deleteLater();
  ending = false;
}

}  // namespace kelvanor
