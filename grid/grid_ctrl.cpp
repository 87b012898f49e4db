#include "grid/grid_ctrl.h"

#include "grid/in_place_edit.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QScrollBar>

namespace kelvanor {

namespace {
CGridCellBase* NewGridCell() { return new CGridCell; }
}  // namespace

const GridCellClass kGridCellClass{"CGridCell", &NewGridCell};

CGridCtrl::CGridCtrl(QWidget* parent, int rows, int cols, int fixedRows, int fixedCols)
    : QAbstractScrollArea(parent),
      m_crWindowText(GetSysColor(COLOR_WINDOWTEXT)),
      m_crWindowColour(GetSysColor(COLOR_WINDOW)),
      m_cr3DFace(GetSysColor(COLOR_BTNFACE)),
      m_crShadow(GetSysColor(COLOR_BTNSHADOW)),
      m_crGridBkColour(m_crShadow),
      m_nRowsPerWheelNotch(ReadWheelScrollLines()) {
  InitDefaultCells();
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setAutoFillBackground(false);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
          [this](int action) { OnBarAction(SB_VERT, action); });
  connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
          [this](int action) { OnBarAction(SB_HORZ, action); });
  viewport()->setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  connect(&m_AutoScrollTimer, &QTimer::timeout, this, &CGridCtrl::OnAutoScrollTimer);
  SetRowCount(rows);
  SetColumnCount(cols);
  SetFixedRowCount(fixedRows);
  SetFixedColumnCount(fixedCols);
  m_SelectedCellMap.Clear();
  m_PrevSelectedCellMap.Clear();
  SetUpWindow();
}

CGridCtrl::~CGridCtrl() {
  // Open editors go first and quietly: a report now would reach a grid being destroyed.
  for (CInPlaceEdit* editor : viewport()->findChildren<CInPlaceEdit*>()) {
    editor->Detach();
    delete editor;
  }
  DeleteAllItems();
}

bool CGridCtrl::SetUpWindow() {
  static bool settingUp = false;  // one guard for every grid of the process
  if (settingUp) return false;
  settingUp = true;
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);  // the client edge
  UpdateScrollBars();
  settingUp = false;
  return true;
}

void CGridCtrl::InitDefaultCells() {
  CGridDefaultCell* cells[] = {&m_cellDefault, &m_cellFixedColDef, &m_cellFixedRowDef, &m_cellFixedRowColDef};
  for (CGridDefaultCell* cell : cells) {
    cell->SetGrid(this);
    cell->SetForeColor(m_crWindowText);
    cell->SetBackColor(cell == &m_cellDefault ? m_crWindowColour : m_cr3DFace);
  }
}

CGridDefaultCell* CGridCtrl::GetDefaultCell(bool fixedRow, bool fixedCol) {
  if (fixedRow && fixedCol) return &m_cellFixedRowColDef;
  if (fixedRow) return &m_cellFixedRowDef;
  if (fixedCol) return &m_cellFixedColDef;
  return &m_cellDefault;
}

const CGridDefaultCell* CGridCtrl::GetDefaultCell(bool fixedRow, bool fixedCol) const {
  return const_cast<CGridCtrl*>(this)->GetDefaultCell(fixedRow, fixedCol);
}

void CGridCtrl::SetFont(const LogFont& font) {
  for (CGridDefaultCell* cell : {&m_cellDefault, &m_cellFixedColDef, &m_cellFixedRowDef, &m_cellFixedRowColDef})
    cell->SetFont(&font);
  viewport()->update();
}

const LogFont* CGridCtrl::GetFont() const { return m_cellDefault.GetFont(); }

void CGridCtrl::OnSysColorChange() {
  const COLORREF windowText = GetSysColor(COLOR_WINDOWTEXT);
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  for (CGridDefaultCell* cell : {&m_cellDefault, &m_cellFixedColDef, &m_cellFixedRowDef, &m_cellFixedRowColDef}) {
    if (cell->GetForeColor() == m_crWindowText) cell->SetForeColor(windowText);
    const bool normal = cell == &m_cellDefault;
    if (normal && cell->GetBackColor() == m_crWindowColour) cell->SetBackColor(window);
    if (!normal && cell->GetBackColor() == m_cr3DFace) cell->SetBackColor(face);
  }
  if (m_crGridBkColour == m_crShadow) m_crGridBkColour = shadow;
  m_crWindowText = windowText;
  m_crWindowColour = window;
  m_cr3DFace = face;
  m_crShadow = shadow;
}

void CGridCtrl::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::ApplicationPaletteChange) {
    OnSysColorChange();
    viewport()->update();
  }
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) OnCaptureLost();
}

void CGridCtrl::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  // A press picks its own focus cell.
  if (event->reason() != Qt::MouseFocusReason && !IsValid(m_idCurrentCell)) SetFocusCell(FirstShownCell());
}

void CGridCtrl::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  if (event->reason() == Qt::PopupFocusReason) OnCaptureLost();
}

void CGridCtrl::ShowCursor(Qt::CursorShape shape) {
  if (viewport()->cursor().shape() != shape) viewport()->setCursor(shape);
}

void CGridCtrl::SetGridLines(int lines) {
  m_nGridLines = lines;
  Refresh();
}

void CGridCtrl::EnableSelection(bool enable) {
  ClearSelection();
  m_bEnableSelection = enable;
  ClearSelection();
}

bool CGridCtrl::checkConsistency() const {
  if (!m_Cells.checkConsistency() || !m_SelectedCellMap.checkConsistency()) return false;
  if (m_Cells.RowCount() != m_nRows || m_Cells.ColumnCount() != m_nCols) return false;
  if (m_nFixedRows < 0 || m_nFixedRows > m_nRows || m_nFixedCols < 0 || m_nFixedCols > m_nCols) return false;
  if ((m_idCurrentCell.row != -1 && m_idCurrentCell.row < m_nFixedRows) ||
      (m_idCurrentCell.col != -1 && m_idCurrentCell.col < m_nFixedCols))
    return false;
  int selected = 0;
  for (int r = 0; r < m_nRows; ++r) {
    for (int c = 0; c < m_nCols; ++c) {
      const CGridCellBase* cell = GetCell(r, c);
      if (!cell) continue;
      const std::uint32_t state = cell->GetState();
      const bool fixedRow = r < m_nFixedRows, fixedCol = c < m_nFixedCols;
      if (bool(state & CELL_FIXEDROW) != fixedRow || bool(state & CELL_FIXEDCOL) != fixedCol ||
          bool(state & CELL_FIXED) != (fixedRow || fixedCol))
        return false;
      if (state & CELL_SELECTED) {
        ++selected;
        if (!m_SelectedCellMap.Contains(CellKeyOf(r, c))) return false;
      }
    }
  }
  return selected == m_SelectedCellMap.Count();
}

}  // namespace kelvanor
