#pragma once
// The cell the grid creates for every position. It stores only what differs from its
// default cell: unset format and margin, CLR_DEFAULT colours and no font inherit.
#include <memory>

#include "grid/grid_cell_base.h"

namespace kelvanor {

class CGridCell : public CGridCellBase {
 public:
  CGridCell() { Reset(); }
  ~CGridCell() override = default;
  using CGridCellBase::operator=;

  void SetText(const std::string& text) override {
    m_strText = text;
    m_nTextWidthFont = 0;
  }
  void SetImage(int image) override { m_nImage = image; }
  void SetData(std::uint32_t data) override { m_lParam = data; }
  void SetFormat(std::uint32_t format) override { m_nFormat = format; }
  void SetForeColor(COLORREF color) override { m_crFgClr = color; }
  void SetBackColor(COLORREF color) override { m_crBkClr = color; }
  void SetFont(const LogFont* font) override;
  void SetMargin(std::uint32_t margin) override { m_nMargin = margin; }
  void SetGrid(CGridCtrl* grid) override { m_pGrid = grid; }
  void SetPosition(int /*row*/, int /*col*/) override {}

  const std::string& GetText() const override { return m_strText; }
  int GetImage() const override { return m_nImage; }
  std::uint32_t GetData() const override { return m_lParam; }
  std::uint32_t GetFormat() const override;
  COLORREF GetForeColor() const override { return m_crFgClr; }
  COLORREF GetBackColor() const override { return m_crBkClr; }
  const LogFont* GetFont() const override;
  const QFont* GetFontObject() const override;
  // Tells the font GetFontObject gives apart from every other font a cell made; 0 for none.
  std::uint32_t GetFontSerial() const;
  CGridCtrl* GetGrid() const override { return m_pGrid; }
  CInPlaceEdit* GetEditor() const override { return m_pEditWnd; }
  std::uint32_t GetMargin() const override;
  bool UsesDefaultFont() const override { return !m_pFont; }
  bool IsEditing() const override { return m_bEditing; }
  // Measured once per text and font: every paint asks it.
  int GetTextWidth(GdiDC* dc) const override;

  void Reset() override;
  bool Edit(int row, int col, const GdiRect& rect, QPoint point, unsigned id, unsigned nChar) override;
  void EndEdit() override;
  void OnEndEdit() override;

 protected:
  // Makes the editor window; null when it cannot be made (editing then does not begin).
  virtual CInPlaceEdit* CreateEditor(const GdiRect& rect, Qt::Alignment alignment, unsigned id, int row, int col,
                                     unsigned firstKey);

 private:
  // A font of the cell's own: as given, as made once for drawing, and its serial.
  struct OwnFont {
    LogFont logFont;
    QFont font;
    std::uint32_t serial;
  };

  // The serial of the font m_nTextWidth was measured in, 0 when it is not known; first, so
  // that it fills the base's tail padding and cells stay as small as they were.
  mutable std::uint32_t m_nTextWidthFont = 0;
  std::string m_strText;
  std::uint32_t m_lParam = 0;
  int m_nImage = -1;
  std::uint32_t m_nFormat = kUnsetFormat;
  COLORREF m_crFgClr = CLR_DEFAULT;
  COLORREF m_crBkClr = CLR_DEFAULT;
  mutable int m_nTextWidth = 0;
  std::unique_ptr<OwnFont> m_pFont;
  std::uint32_t m_nMargin = kUnsetMargin;
  bool m_bEditing = false;
  CGridCtrl* m_pGrid = nullptr;
  CInPlaceEdit* m_pEditWnd = nullptr;
};

}  // namespace kelvanor
