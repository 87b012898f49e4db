#pragma once
// The interface every cell of a CGridCtrl offers, and the behaviour all cells share:
// state bits, drawing, measuring and the hooks the grid calls on mouse and editing.
#include <QFont>
#include <QPoint>
#include <QSize>
#include <cstdint>
#include <string>

#include "grid/grid_item.h"
#include "platform/gdi_dc.h"

namespace kelvanor {

class CGridCtrl;
class CGridDefaultCell;
class CInPlaceEdit;

class CGridCellBase {
 public:
  CGridCellBase() = default;
  CGridCellBase(const CGridCellBase&) = delete;
  virtual ~CGridCellBase() = default;

  virtual void SetText(const std::string& text) = 0;
  virtual void SetImage(int image) = 0;
  virtual void SetData(std::uint32_t data) = 0;
  virtual void SetState(std::uint32_t state) { m_nState = state; }
  virtual void SetFormat(std::uint32_t format) = 0;
  virtual void SetForeColor(COLORREF color) = 0;
  virtual void SetBackColor(COLORREF color) = 0;
  virtual void SetFont(const LogFont* font) = 0;
  virtual void SetMargin(std::uint32_t margin) = 0;
  virtual void SetGrid(CGridCtrl* grid) = 0;
  virtual void SetPosition(int row, int col) = 0;

  virtual const std::string& GetText() const = 0;
  virtual const std::string& GetTitleTipText() const { return GetText(); }
  virtual int GetImage() const = 0;
  virtual std::uint32_t GetData() const = 0;
  virtual std::uint32_t GetState() const { return m_nState; }
  virtual std::uint32_t GetFormat() const = 0;
  virtual COLORREF GetForeColor() const = 0;
  virtual COLORREF GetBackColor() const = 0;
  virtual const LogFont* GetFont() const = 0;
  virtual const QFont* GetFontObject() const = 0;
  virtual CGridCtrl* GetGrid() const = 0;
  virtual CInPlaceEdit* GetEditor() const = 0;
  virtual std::uint32_t GetMargin() const = 0;
  // The default cell of the grid for this cell's fixed bits; null without a grid.
  virtual CGridDefaultCell* GetDefaultCell() const;
  virtual bool UsesDefaultFont() const = 0;
  virtual bool IsEditing() const = 0;

  bool IsFocused() const { return GetState() & CELL_FOCUSED; }
  bool IsFixed() const { return GetState() & CELL_FIXED; }
  bool IsFixedCol() const { return GetState() & CELL_FIXEDCOL; }
  bool IsFixedRow() const { return GetState() & CELL_FIXEDROW; }
  bool IsSelected() const { return GetState() & CELL_SELECTED; }
  bool IsReadOnly() const { return GetState() & CELL_READONLY; }
  bool IsModified() const { return GetState() & CELL_MODIFIED; }
  bool IsDropHighlighted() const { return GetState() & CELL_DROPHILITED; }

  // Copies every attribute of other; an inherited format, margin or font becomes an own one.
  CGridCellBase& operator=(const CGridCellBase& other);
  virtual void Reset() { m_nState = 0; }

  // rect is inclusive: right and bottom are the last pixels of the cell.
  virtual bool Draw(GdiDC* dc, int row, int col, GdiRect rect, bool eraseBkgnd = true);
  virtual bool GetTextArea(GdiRect& /*rect*/) { return true; }
  virtual bool GetTitleTipRect(GdiRect& rect) { return GetTextArea(rect); }
  // The room text needs in this cell, margins included; dc may be null.
  virtual QSize MeasureText(const std::string& text, GdiDC* dc = nullptr) const;
  virtual QSize MeasureCell(GdiDC* dc = nullptr) const;
  // The width of the text on one line in the font dc has selected (the cell's own), which
  // tells whether it needs an ellipsis; INT_MAX for a text with a line break, whose
  // ellipsis DrawText decides.
  virtual int GetTextWidth(GdiDC* dc) const;

  virtual bool Edit(int /*row*/, int /*col*/, const GdiRect& /*rect*/, QPoint /*point*/, unsigned /*id*/,
                    unsigned /*nChar*/) {
    return false;
  }
  virtual bool VetEditText(const std::string& /*text*/) { return true; }
  virtual void EndEdit() {}
  virtual void OnEndEdit() {}

  virtual void OnMouseEnter() {}
  virtual void OnMouseOver() {}
  virtual void OnMouseLeave() {}
  virtual void OnClick(QPoint /*pointCellRelative*/) {}
  virtual void OnButtonDown(QPoint /*pointCellRelative*/) {}
  virtual void OnRClick(QPoint /*pointCellRelative*/) {}
  virtual void OnDblClick(QPoint /*pointCellRelative*/) {}
  virtual bool OnSetCursor();

 private:
  void DrawSortMark(GdiDC* dc, GdiRect& rect) const;

  std::uint32_t m_nState = 0;
};

}  // namespace kelvanor
