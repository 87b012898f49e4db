#pragma once
// CInPlaceEdit: the single-line editor laid over a cell while it is edited. It reports its
// text and the key that ended it to the grid, and deletes itself after closing.
#include <QLineEdit>
#include <QPointer>
#include <string>

#include "platform/gdi_dc.h"

namespace kelvanor {

class CGridCtrl;

class CInPlaceEdit : public QLineEdit {
  Q_OBJECT

 public:
  // rect: the cell rectangle in the grid's client coordinates (right and bottom inclusive).
  CInPlaceEdit(CGridCtrl* grid, const GdiRect& rect, Qt::Alignment alignment, unsigned id, int row, int col,
               const std::string& initialText, unsigned firstKey);

  // Reports the result to the grid once and closes.
  void EndEdit();
  // A character as the platform's character message brings it: Escape, Tab and Enter end
  // editing, anything else is typed.
  void HandleChar(unsigned ch);
  unsigned LastKey() const { return m_nLastChar; }
  // The grid is going away: no more reports.
  void Detach() { m_pGrid = nullptr; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool focusNextPrevChild(bool /*next*/) override { return false; }  // every key is the editor's
  bool event(QEvent* event) override;

 private:
  void LeaveTo(unsigned key);
  void Grow();

  QPointer<CGridCtrl> m_pGrid;
  unsigned m_nId;
  int m_nRow, m_nColumn;
  std::string m_sInitText;
  unsigned m_nLastChar = 0;
  bool m_bExitOnArrows;
  bool m_bClosed = false;
  GdiRect m_Rect;  // exclusive, parent client coordinates; only ever grows to the right
};

}  // namespace kelvanor
