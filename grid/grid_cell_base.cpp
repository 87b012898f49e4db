#include "grid/grid_cell_base.h"

#include <algorithm>
#include <climits>

#include "grid/grid_ctrl.h"
#include "grid/grid_default_cell.h"
#include "grid/measure_dc.h"

namespace kelvanor {

namespace {

// Right and bottom of an inclusive cell rectangle become exclusive, for fills and text.
GdiRect Widened(GdiRect r) {
  ++r.right;
  ++r.bottom;
  return r;
}

void Polyline(GdiDC* dc, std::initializer_list<QPoint> points) {
  auto it = points.begin();
  dc->MoveTo(it->x(), it->y());
  for (++it; it != points.end(); ++it) dc->LineTo(it->x(), it->y());
}

bool IsVertical(const LogFont* font) { return font && (font->lfEscapement == 900 || font->lfEscapement == -900); }

}  // namespace

CGridDefaultCell* CGridCellBase::GetDefaultCell() const {
  CGridCtrl* grid = GetGrid();
  return grid ? grid->GetDefaultCell(IsFixedRow(), IsFixedCol()) : nullptr;
}

CGridCellBase& CGridCellBase::operator=(const CGridCellBase& other) {
  if (this == &other) return *this;
  SetGrid(other.GetGrid());
  SetText(other.GetText());
  SetImage(other.GetImage());
  SetData(other.GetData());
  SetState(other.GetState());
  SetFormat(other.GetFormat());
  SetForeColor(other.GetForeColor());
  SetBackColor(other.GetBackColor());
  SetFont(other.UsesDefaultFont() ? nullptr : other.GetFont());
  SetMargin(other.GetMargin());
  return *this;
}

bool CGridCellBase::Draw(GdiDC* dc, int row, int col, GdiRect rect, bool eraseBkgnd) {
  CGridCtrl* grid = GetGrid();
  if (!grid || !dc || rect.Width() <= 0 || rect.Height() <= 0) return false;
  const CGridDefaultCell* def = GetDefaultCell();
  if (!def) return false;

  const int saved = dc->SaveDC();
  dc->SetBkMode(TRANSPARENT);

  COLORREF textColor = GetForeColor() == CLR_DEFAULT ? def->GetForeColor() : GetForeColor();
  COLORREF backColor = def->GetBackColor();
  if (GetBackColor() != CLR_DEFAULT) {
    backColor = GetBackColor();
    eraseBkgnd = true;
  }
  const bool gridLines = grid->GetGridLines() != GVL_NONE;

  if (IsFocused() || IsDropHighlighted()) {
    if (IsSelected()) {
      backColor = GetSysColor(COLOR_HIGHLIGHT);
      textColor = GetSysColor(COLOR_HIGHLIGHTTEXT);
      eraseBkgnd = true;
    }
    // With grid lines the frame stays off the line pixels; without, it covers them.
    const GdiRect widened = Widened(rect);
    if (eraseBkgnd) dc->FillSolidRect(widened, backColor);
    dc->FrameRect(gridLines ? rect : widened, textColor);
    dc->SetTextColor(textColor);
  } else if (IsSelected()) {
    dc->FillSolidRect(Widened(rect), GetSysColor(COLOR_HIGHLIGHT));
    dc->SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
  } else {
    if (eraseBkgnd) dc->FillSolidRect(Widened(rect), backColor);
    dc->SetTextColor(textColor);
  }

  if (IsFixed() && gridLines) {
    const CCellID focus = grid->GetFocusCell();
    if (grid->GetTrackFocusCell() && grid->IsValid(focus) && (focus.row == row || focus.col == col)) {
      dc->DrawEdgeSunkenInner(Widened(rect));
      rect = {rect.left + 1, rect.top + 1, rect.right, rect.bottom};
    } else {
      const GdiPen previous = dc->SelectPen({GdiPen::Solid, 1, GetSysColor(COLOR_BTNHIGHLIGHT)});
      Polyline(dc, {{rect.right, rect.top}, {rect.left, rect.top}, {rect.left, rect.bottom}});
      dc->SelectPen({GdiPen::Solid, 1, GetSysColor(COLOR_3DDKSHADOW)});
      Polyline(dc, {{rect.right, rect.top}, {rect.right, rect.bottom}, {rect.left, rect.bottom}});
      dc->SelectPen(previous);
      rect = {rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    }
  }

  if (const QFont* font = GetFontObject()) dc->SelectFont(*font);

  const int margin = static_cast<int>(GetMargin());
  rect = Widened({rect.left + margin, rect.top + margin, rect.right - margin, rect.bottom - margin});

  if (row == 0 && col == grid->GetSortColumn()) DrawSortMark(dc, rect);

  GetTextArea(rect);
  rect = Widened(rect);
  std::uint32_t format = GetFormat() | DT_NOPREFIX;
  // A one-line text that fits needs no ellipsis; DrawText would measure it on every paint
  // to find that out.
  constexpr std::uint32_t kEllipses = DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS;
  if ((format & kEllipses) && (format & DT_SINGLELINE) && !(format & DT_EXPANDTABS) &&
      GetTextWidth(dc) <= rect.Width())
    format &= ~kEllipses;
  dc->DrawText(GetText(), rect, format);

  dc->RestoreDC(saved);
  return true;
}

void CGridCellBase::DrawSortMark(GdiDC* dc, GdiRect& rect) const {
  const int m = dc->GetTextExtent("M").height();
  int h = m - 4;
  if (h >= rect.Height()) h = rect.Height() - 4;
  if (rect.left + h >= rect.right) return;
  const LogFont* font = GetFont();
  const bool vertical = font && font->lfEscapement == 900;
  const int y = rect.bottom - h - 2;
  const int x = vertical ? (rect.right + rect.left - h) / 2 : rect.right - h;
  const GdiPen light{GdiPen::Solid, 0, GetSysColor(COLOR_BTNHIGHLIGHT)};
  const GdiPen shadow{GdiPen::Solid, 0, GetSysColor(COLOR_BTNSHADOW)};
  const GdiPen previous = dc->SelectPen(light);
  if (GetGrid()->GetSortAscending()) {
    Polyline(dc, {{x + 1, y + h + 1}, {x + h / 2 + 1, y + 1}, {x + h + 1, y + h + 1}, {x + 1, y + h + 1}});
    dc->SelectPen(shadow);
    Polyline(dc, {{x, y + h}, {x + h / 2, y}, {x + h, y + h}, {x, y + h}});
  } else {
    Polyline(dc, {{x + 1, y + 1}, {x + h / 2 + 1, y + h + 1}, {x + h + 1, y + 1}, {x + 1, y + 1}});
    dc->SelectPen(shadow);
    Polyline(dc, {{x, y}, {x + h / 2, y + h}, {x + h, y}, {x, y}});
  }
  dc->SelectPen(previous);
  if (!vertical) rect.right -= h;
}

QSize CGridCellBase::MeasureText(const std::string& text, GdiDC* dc) const {
  std::unique_ptr<MeasureDC> own;
  if (!dc && !text.empty() && GetGrid()) {
    own = std::make_unique<MeasureDC>();
    dc = own->dc();
  }
  const CGridDefaultCell* def = GetDefaultCell();
  if (text.empty() || !dc) return def ? QSize(def->GetWidth(), def->GetHeight()) : QSize(0, 0);

  const QFont previous = dc->GetFont();
  if (const QFont* font = GetFontObject()) dc->SelectFont(*font);
  const std::uint32_t format = GetFormat();
  QSize size;
  if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE)) {
    int widest = 0;
    for (size_t start = 0; start <= text.size();) {
      const size_t end = std::min(text.find('\n', start), text.size());
      widest = std::max(widest, dc->GetTextExtent(text.substr(start, end - start)).width());
      start = end + 1;
    }
    GdiRect calc{0, 0, widest + 1, 0};
    dc->DrawText(text, calc, format | DT_CALCRECT);
    size = QSize(calc.Width(), calc.Height());
  } else {
    size = dc->GetTextExtent(text);
  }
  dc->SelectFont(previous);

  const int margin = static_cast<int>(GetMargin());
  size += QSize(2 * margin, 2 * margin);
  if (IsVertical(GetFont())) return QSize(size.height(), size.width() + 4 * margin);
  return size;
}

int CGridCellBase::GetTextWidth(GdiDC* dc) const {
  const std::string& text = GetText();
  if (text.find_first_of("\r\n") != std::string::npos) return INT_MAX;
  return dc->GetTextExtent(text).width();
}

QSize CGridCellBase::MeasureCell(GdiDC* dc) const {
  const int extra = IsFixed() ? 2 : 1;
  return MeasureText(GetText(), dc) + QSize(extra, extra);
}

bool CGridCellBase::OnSetCursor() {
  if (CGridCtrl* grid = GetGrid()) grid->ShowCursor(Qt::ArrowCursor);
  return true;
}

}  // namespace kelvanor
