#pragma once
// CGridCtrl: an editable grid of cells with fixed header rows at the top and fixed header
// columns at the left. The class is split by job over several files:
//   grid_ctrl.cpp      construction, options, default cells, fonts and colours
//   grid_storage.cpp   rows, columns, cells and per-item accessors
//   grid_layout.cpp    cell rectangles, visible ranges, hit tests
//   grid_scroll.cpp    scroll bars, scroll messages, wheel, EnsureVisible
//   grid_paint.cpp     painting of cells, background and grid lines
//   grid_selection.cpp focus cell, selected cells, notifications
//   grid_mouse.cpp     the mouse state machine, auto-scroll, dividers and cursors
//   grid_keyboard.cpp  navigation and shortcut keys, typed characters
//   grid_edit.cpp      starting, ending and applying in-place edits
//   grid_clipboard.cpp copy, cut, paste and Delete of cell text
//   grid_drag_drop.cpp dragging cells out and the drop-target feedback
//   grid_sort.cpp      sorting the rows by a column
//   grid_resize.cpp    dragging a divider to a new row height or column width
//   grid_autosize.cpp  fitting rows and columns to their contents
//   grid_title_tip.cpp the tip over a clipped cell text
#include <QAbstractScrollArea>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <string>

#include "grid/cell_id.h"
#include "grid/grid_cells.h"
#include "grid/grid_default_cell.h"
#include "grid/grid_notify.h"
#include "grid/scroll_bar_model.h"
#include "grid/selected_cell_map.h"
#include "grid/title_tip.h"

class QMimeData;

namespace kelvanor {

class CGridDropTarget;

// Grid line option values.
enum : int { GVL_NONE = 0, GVL_HORZ = 1, GVL_VERT = 2, GVL_BOTH = 3 };

// Scroll bar identifiers and scroll codes, with the platform's values.
enum : int { SB_HORZ = 0, SB_VERT = 1 };
enum : int {
  SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1, SB_PAGEUP = 2, SB_PAGELEFT = 2,
  SB_PAGEDOWN = 3, SB_PAGERIGHT = 3, SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5, SB_TOP = 6, SB_LEFT = 6,
  SB_BOTTOM = 7, SB_RIGHT = 7, SB_ENDSCROLL = 8,
};

// The mouse interaction state (5 is not used).
enum MouseMode : int {
  MM_IDLE = 0, MM_SELECT_ALL = 1, MM_SELECT_COLUMNS = 2, MM_SELECT_ROWS = 3, MM_SELECT_CELLS = 4,
  MM_OVER_ROW_EDGE = 6, MM_SIZE_ROW = 7, MM_OVER_COLUMN_EDGE = 8, MM_SIZE_COLUMN = 9, MM_PREPARE_EDIT = 10,
  MM_PREPARE_DRAG = 11, MM_DRAGGING = 12,
};

// Virtual key codes with the platform's values, as the grid and its editor pass them on.
enum : unsigned {
  VK_LBUTTON = 1, VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_ESCAPE = 27, VK_SPACE = 32, VK_PRIOR = 33,
  VK_NEXT = 34, VK_END = 35, VK_HOME = 36, VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40,
  VK_INSERT = 45, VK_DELETE = 46, VK_ADD = 107, VK_F2 = 113,
};
constexpr unsigned INPLACE_EDIT_ID = 8;
constexpr int AUTOSCROLL_TIMER = 513;

// The class the grid creates its cells from (the stand-in for a runtime class):
// a null class or a null creation function makes no cells.
struct GridCellClass {
  const char* name = nullptr;
  CGridCellBase* (*create)() = nullptr;
};
extern const GridCellClass kGridCellClass;  // CGridCell

class CGridCtrl : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit CGridCtrl(QWidget* parent = nullptr, int rows = 0, int cols = 0, int fixedRows = 0,
                     int fixedCols = 0);
  ~CGridCtrl() override;

  // ---- set-up, default cells, notifications (grid_ctrl.cpp)
  bool SetUpWindow();
  void InitDefaultCells();
  CGridDefaultCell* GetDefaultCell(bool fixedRow, bool fixedCol);
  const CGridDefaultCell* GetDefaultCell(bool fixedRow, bool fixedCol) const;
  // The owner that hears notifications; without one, a parent widget implementing the
  // handler interface does.
  void SetNotifyHandler(GridNotifyHandler* handler) { m_pNotifyHandler = handler; }
  void SetDlgCtrlID(unsigned id) { m_nCtrlId = id; }
  unsigned GetDlgCtrlID() const { return m_nCtrlId; }
  // The font of all four default cells (the stand-in for WM_SETFONT); GetFont is WM_GETFONT.
  void SetFont(const LogFont& font);
  const LogFont* GetFont() const;
  void OnSysColorChange();
  void ShowCursor(Qt::CursorShape shape);

  // ---- options
  void SetGridLines(int lines);
  int GetGridLines() const { return m_nGridLines; }
  void SetEditable(bool editable) { m_bEditable = editable; }
  bool IsEditable() const { return m_bEditable; }
  void EnableDragAndDrop(bool allow) { m_bAllowDragAndDrop = allow; }
  bool GetDragAndDrop() const { return m_bAllowDragAndDrop; }
  void EnableSelection(bool enable);
  bool IsSelectable() const { return m_bEnableSelection; }
  void SetSingleRowSelection(bool single) { m_bSingleRowSelection = single; }
  bool GetSingleRowSelection() const { return m_bSingleRowSelection; }
  void SetHeaderClickSelectsColumn(bool on) { m_bFixedRowSelection = on; }
  bool GetHeaderClickSelectsColumn() const { return m_bFixedRowSelection; }
  void SetHeaderClickSelectsRow(bool on) { m_bFixedColumnSelection = on; }
  bool GetHeaderClickSelectsRow() const { return m_bFixedColumnSelection; }
  void SetRowSelectionIncludesFixedColumns(bool on) { m_bRowSelectionIncludesFixed = on; }
  void SetSortOnHeaderClick(bool on) { m_bSortOnClick = on; }
  bool GetSortOnHeaderClick() const { return m_bSortOnClick; }
  void SetFocusHeaderTracking(bool on) { m_bTrackFocusCell = on; }
  bool GetTrackFocusCell() const { return m_bTrackFocusCell; }
  void SetRowResize(bool allow) { m_bAllowRowResize = allow; }
  bool GetRowResize() const { return m_bAllowRowResize; }
  void SetColumnResize(bool allow) { m_bAllowColumnResize = allow; }
  bool GetColumnResize() const { return m_bAllowColumnResize; }
  void SetHandleTabKey(bool on) { m_bHandleTabKey = on; }
  bool GetHandleTabKey() const { return m_bHandleTabKey; }
  void SetTabLeavesControl(bool on) { m_bTabLeavesControl = on; }
  bool GetTabLeavesControl() const { return m_bTabLeavesControl; }
  void EnableTitleTips(bool on) { m_bTitleTips = on; }
  bool GetTitleTips() const { return m_bTitleTips; }

  void SetGridLineColor(COLORREF color) { m_crGridLineColour = color; }
  COLORREF GetGridLineColor() const { return m_crGridLineColour; }
  void SetGridBkColor(COLORREF color) { m_crGridBkColour = color; }
  COLORREF GetGridBkColor() const { return m_crGridBkColour; }
  void SetTitleTipTextClr(COLORREF color) { m_crTTipFgClr = color; }
  COLORREF GetTitleTipTextClr() const { return m_crTTipFgClr; }
  void SetTitleTipBackClr(COLORREF color) { m_crTTipBackClr = color; }
  COLORREF GetTitleTipBackClr() const { return m_crTTipBackClr; }

  // ---- storage and structure (grid_storage.cpp)
  int GetRowCount() const { return m_nRows; }
  int GetColumnCount() const { return m_nCols; }
  int GetFixedRowCount() const { return m_nFixedRows; }
  int GetFixedColumnCount() const { return m_nFixedCols; }
  bool SetRowCount(int rows);
  bool SetColumnCount(int cols);
  bool SetFixedRowCount(int fixedRows);
  bool SetFixedColumnCount(int fixedCols);
  int InsertRow(const std::string& heading);
  bool DeleteRow(int row);
  bool DeleteAllItems();
  // The class new cells are made from; cells already made stay as they are.
  void SetCellClass(const GridCellClass* cellClass) { m_pRtcDefault = cellClass; }
  const GridCellClass* GetCellClass() const { return m_pRtcDefault; }
  virtual CGridCellBase* CreateCell(int row, int col);
  virtual void DestroyCell(int row, int col);

  CGridCellBase* GetCell(int row, int col) const { return m_Cells.Cell(row, col); }
  bool IsValid(int row, int col) const { return row >= 0 && row < m_nRows && col >= 0 && col < m_nCols; }
  bool IsValid(const CCellID& cell) const { return IsValid(cell.row, cell.col); }
  bool SetItem(const GRIDITEM* item);
  bool SetItemText(int row, int col, const std::string& text);
  std::string GetItemText(int row, int col) const;
  std::uint32_t GetItemState(int row, int col) const;
  bool SetItemState(int row, int col, std::uint32_t state);
  void SetItemBackColor(int row, int col, COLORREF color);
  void SetItemTextColor(int row, int col, COLORREF color);
  void SetModified(int row, int col);
  void SetSortColumn(int col);
  int GetSortColumn() const { return m_nSortColumn; }
  bool GetSortAscending() const { return m_bAscending; }

  int GetRowHeight(int row) const;
  int GetColumnWidth(int col) const;
  bool SetRowHeight(int row, int height);
  bool SetColumnWidth(int col, int width);
  std::int64_t GetTotalHeight() const { return m_Cells.heights().Total(); }
  std::int64_t GetTotalWidth() const { return m_Cells.widths().Total(); }
  int GetFixedRowHeight() const;
  int GetFixedColumnWidth() const;
  void Refresh();

  // ---- layout (grid_layout.cpp)
  CCellID GetFirstScrolledCell();
  CCellBlock GetVisibleScrollingCells(GdiRect* rect = nullptr);
  CCellBlock GetVisibleHeaderCells(GdiRect* rect = nullptr);
  bool GetCellOrigin(int row, int col, QPoint* origin);
  // Inclusive: right and bottom are the last pixels of the cell.
  bool GetCellRect(int row, int col, GdiRect* rect);
  CCellID HitTestCell(QPoint point, bool allowFixed = true);
  QPoint PointRelativeToCell(int row, int col, QPoint point);
  bool IsCellVisible(int row, int col);
  bool InvalidateCellRect(int row, int col);
  bool RedrawCell(int row, int col, GdiDC* dc = nullptr);
  bool RedrawRow(int row);
  GdiRect GetClientRect() const;

  // ---- scrolling (grid_scroll.cpp)
  void UpdateScrollBars();
  std::int64_t GetScrollPosition(int bar) const;
  void SetScrollPosition(int bar, std::int64_t position);
  std::int64_t GetScrollLimit(int bar) const;
  bool IsScrollBarShown(int bar) const;
  static int ReadWheelScrollLines();
  // Lines per wheel notch, read from the desktop at construction; -1 scrolls a page a notch.
  void SetRowsPerWheelNotch(int lines) { m_nRowsPerWheelNotch = lines; }
  int GetRowsPerWheelNotch() const { return m_nRowsPerWheelNotch; }
  void OnVScroll(int code);
  void OnHScroll(int code);
  void EnsureVisible(int row, int col);
  void EnsureVisible(const CCellID& cell) { EnsureVisible(cell.row, cell.col); }

  // ---- painting (grid_paint.cpp)
  virtual void OnDraw(GdiDC* dc);
  void EraseBkgnd(GdiDC* dc);

  // ---- selection and notifications (grid_selection.cpp)
  int NotifyParent(int row, int col, int code);
  CCellID GetFocusCell() const { return m_idCurrentCell; }
  CCellID SetFocusCell(CCellID cell);
  CCellID SetFocusCell(int row, int col) { return SetFocusCell(CCellID(row, col)); }
  // The first non-fixed cell whose row and column are shown; (-1, -1) when there is none.
  CCellID FirstShownCell() const;
  void SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, bool forceRepaint = false,
                        bool select = true);
  void SetSelectedRange(const CCellBlock& range, bool forceRepaint = false, bool select = true) {
    SetSelectedRange(range.minRow, range.minCol, range.maxRow, range.maxCol, forceRepaint, select);
  }
  void SelectAllCells();
  void SelectColumns(CCellID cell, bool forceRepaint = false, bool select = true);
  void SelectRows(CCellID cell, bool forceRepaint = false, bool select = true);
  void SelectCells(CCellID cell, bool forceRepaint = false, bool select = true);
  void ClearSelection();
  CCellBlock GetSelectedCellRange() const;
  int GetSelectedCount() const { return m_SelectedCellMap.Count(); }
  bool IsCellSelected(int row, int col) const;
  bool IsCellSelected(const CCellID& cell) const { return IsCellSelected(cell.row, cell.col); }
  virtual void OnEditSelectAll();
  bool CanSelectAll() const { return m_bEnableSelection; }
  CCellID GetSelectionStartCell() const { return m_SelectionStartCell; }
  void SetSelectionStartCell(CCellID cell) { m_SelectionStartCell = cell; }

  // ---- mouse (grid_mouse.cpp)
  MouseMode GetMouseMode() const { return m_MouseMode; }
  void ExtendSelection(CCellID cell);
  virtual void OnColumnHeaderClick(CCellID cell);
  virtual void OnRowHeaderClick(CCellID cell);
  bool IsOverColumnDivider(QPoint point) { return IsOverDivider(point, true); }
  bool IsOverRowDivider(QPoint point) { return IsOverDivider(point, false); }
  bool IsAutoScrolling() const { return m_nTimerID != 0; }
  void OnAutoScrollTimer();

  // ---- keyboard (grid_keyboard.cpp); modifiers as they are when the key is handled
  void OnKeyDown(unsigned key, Qt::KeyboardModifiers modifiers);
  void OnChar(unsigned ch, Qt::KeyboardModifiers modifiers);
  void OnImeChar(unsigned ch, Qt::KeyboardModifiers modifiers);

  // ---- in-place editing (grid_edit.cpp)
  bool IsCellEditable(int row, int col) const;
  bool IsCellEditable(const CCellID& cell) const { return IsCellEditable(cell.row, cell.col); }
  virtual void BeginCellEdit(int row, int col, QPoint point, unsigned firstKey);
  virtual void StopEditing();
  virtual void CommitCellEdit(int row, int col, const std::string& text);
  virtual bool VetEditText(int row, int col, const std::string& text);
  void ReplaceCellText(int row, int col, const std::string& text);
  // The editor's end-of-edit notification (control id 8, GN_ENDEDIT); returns 0.
  int OnEndInPlaceEdit(const GridDispInfo& info);
  const QFont& GetEditFont() const { return *m_cellDefault.GetFontObject(); }

  // ---- clipboard, drag-and-drop and sorting (grid_clipboard.cpp, grid_drag_drop.cpp, grid_sort.cpp)
  // The selected range as clipboard text; null when nothing is selected. The caller owns it.
  virtual QMimeData* CopySelection();
  // Writes the text's fields into the cells from target onwards.
  virtual bool PasteFromClipboard(CCellID target, const QMimeData* data, bool select);
  // Whether the copy, cut and paste commands are enabled.
  bool CanEditCopy() const;
  bool CanEditCut() const;
  bool CanEditPaste() const;
  // Drop-target feedback: an answer of Qt::IgnoreAction refuses the drop.
  virtual Qt::DropAction OnDragEnter(const QMimeData* data, Qt::KeyboardModifiers keys, QPoint point);
  virtual Qt::DropAction OnDragOver(const QMimeData* data, Qt::KeyboardModifiers keys, QPoint point);
  virtual void OnDragLeave();
  virtual bool OnDrop(const QMimeData* data, Qt::DropAction effect, QPoint point);
  CCellID GetLastDragOverCell() const { return m_LastDragOverCell; }
  // The drag loop StartCellDrag runs: it takes the data and returns the effect the drop
  // target chose. The default is the platform's (QDrag::exec); a null loop restores it.
  using DragLoop = std::function<Qt::DropAction(QMimeData* data, Qt::DropActions allowed)>;
  void SetDragLoop(DragLoop loop) { m_DragLoop = std::move(loop); }
  void SortByColumn(int col, bool ascending);

 private:
  std::string SelectionText() const;
  Qt::DropAction RunDragLoop(QMimeData* data, Qt::DropActions allowed);
  void SortOnHeaderClick(int col);
  void SortRows(int low, int high, int col, bool ascending);
  void ExchangeRows(int a, int b);
  void SetDropHighlight(CCellID cell, bool on);
  // Registers the drop target, made on first use (a child object of the grid).
  void RegisterDropTarget();

  CGridDropTarget* m_pDropTarget = nullptr;
  CCellID m_LastDragOverCell;
  DragLoop m_DragLoop;

 public:

  // ---- commands that the clipboard, sizing and drag features supply
  virtual void OnEditCopy();
  virtual void OnEditCut();
  virtual void OnEditPaste();
  virtual void CutSelection();
  virtual void AutoSizeColumns();
  virtual void StartCellDrag();

  // Checks the table, the sizes, the fixed bits of every cell, the focus cell and that the
  // selected-cell map holds exactly the cells that carry CELL_SELECTED.
  bool checkConsistency() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void scrollContentsBy(int /*dx*/, int /*dy*/) override {}
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  bool viewportEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  // Hooks of the row and column sizing feature, called in the sizing modes.
  virtual void OnBeginResize(QPoint point);
  virtual void OnTrackResize(QPoint point);
  virtual void OnEndResize(QPoint point);

  // ---- row and column sizing (grid_resize.cpp, grid_autosize.cpp) and the title tip
  //      offered over clipped cell texts (grid_title_tip.cpp)
 public:
  bool AutoSizeColumn(int col, unsigned style = 0, bool resetScrollBars = true);
  bool AutoSizeRow(int row);
  // Which rows AutoSizeColumn measures when given no style: 0x1 fixed, 0x2 scrollable.
  void SetAutoSizeStyle(unsigned style) { m_nAutoSizeStyle = style; }
  unsigned GetAutoSizeStyle() const { return m_nAutoSizeStyle; }
  // The inverted 2-pixel line that follows a divider drag (client coordinates); null when
  // no drag is shown.
  QRect GetTrackingLine() const { return m_rcTrackLine; }
  // The range the pointer is kept in while a divider is dragged; null outside a drag.
  QRect GetResizeConfinement() const { return m_rcResizeConfine; }
  CTitleTip& GetTitleTip() { return m_TitleTip; }
  void HideTitleTip() { m_TitleTip.HideTip(); }

 protected:
  // A double click in a divider mode fits the row or column left of or above the divider;
  // false when the grid is not over a divider.
  bool FitDividerAt(QPoint point);
  void OfferTitleTip(QPoint point);
  void InvertTrackingLine(QPainter& painter) const;

 private:
  QPoint ConfinedPoint(QPoint point) const;
  void MoveTrackingLine(QRect line);

  unsigned m_nAutoSizeStyle = 3;
  QRect m_rcTrackLine, m_rcResizeConfine;
  CTitleTip m_TitleTip;

 private:
  // ---- storage helpers
  bool GrowRows(int rows);
  bool GrowColumns(int cols);
  void ShowMemoryMessage();
  void DestroyRowCells(int row, int fromCol);
  void ResetTopLeft() { m_idTopLeftCell.col = -1; }
  void MarkFixed(int r0, int r1, int c0, int c1, std::uint32_t bit, bool fixed);
  // ---- layout helpers
  std::int64_t RowTop(int row) const;   // from the top of the fixed band, with the scroll offset
  std::int64_t ColumnLeft(int col) const;
  int ScrolledIndex(const SizeIndex& sizes, int fixed, std::int64_t position) const;
  // ---- scrolling helpers
  void Scroll(int bar, int code);
  void OnBarAction(int bar, int action);
  void ApplyScrollBar(int bar);
  int ScrollBarThickness(int bar) const;
  // ---- painting helpers
  void DrawCellsIn(GdiDC* dc, const GdiRect* clip, int firstRow, int lastRow, int firstCol, int lastCol,
                   int top, int left);
  void DrawGridLines(GdiDC* dc, const CCellBlock& visible, const GdiRect& visibleRect);
  void RedrawFixedCellsOf(int row, int col, bool rowChanged, bool colChanged);
  // ---- mouse and keyboard helpers
  void OnLeftButtonDown(QPoint point, Qt::KeyboardModifiers modifiers);
  void OnLeftButtonUp(QPoint point);
  void OnRightButtonUp(QPoint point);
  void UpdateHoverCursor();
  bool IsOverDivider(QPoint point, bool columns);
  bool InTextArea(CCellID cell, QPoint point);
  void PostClickCommand();
  void StopAutoScroll();
  void OnCaptureLost();
  void CancelResize();
  CCellID NextCellForKey(unsigned key, Qt::KeyboardModifiers modifiers, bool* changeLine, bool* handled);
  bool InDialog() const;
  // ---- selection helpers
  void SetCellSelectedBit(int row, int col, bool select);
  void RedrawSelectionCell(int row, int col, bool forceRepaint, const CCellBlock& visible,
                           const CCellBlock& visibleFixed);

  // Table and shape.
  GridCells m_Cells;
  int m_nRows = 0, m_nFixedRows = 0, m_nCols = 0, m_nFixedCols = 0;
  const GridCellClass* m_pRtcDefault = &kGridCellClass;
  CGridDefaultCell m_cellDefault, m_cellFixedColDef, m_cellFixedRowDef, m_cellFixedRowColDef;

  // Colours.
  COLORREF m_crWindowText, m_crWindowColour, m_cr3DFace, m_crShadow;
  COLORREF m_crGridLineColour = RGB(192, 192, 192);
  COLORREF m_crGridBkColour;
  COLORREF m_crTTipBackClr = CLR_DEFAULT, m_crTTipFgClr = CLR_DEFAULT;

  // Options.
  int m_nGridLines = GVL_BOTH;
  bool m_bEditable = true;
  bool m_bAllowDragAndDrop = false;
  bool m_bEnableSelection = true;
  bool m_bSingleRowSelection = false;
  bool m_bFixedRowSelection = true;
  bool m_bFixedColumnSelection = true;
  bool m_bRowSelectionIncludesFixed = false;
  bool m_bSortOnClick = false;
  bool m_bTrackFocusCell = true;
  bool m_bAllowRowResize = true;
  bool m_bAllowColumnResize = true;
  bool m_bHandleTabKey = true;
  bool m_bTabLeavesControl = false;
  bool m_bTitleTips = true;

  // Selection and focus.
  CCellID m_idCurrentCell, m_SelectionStartCell, m_LeftClickDownCell;
  SelectedCellMap m_SelectedCellMap, m_PrevSelectedCellMap;

  // Scrolling.
  CCellID m_idTopLeftCell;
  ScrollBarModel m_HScroll, m_VScroll;
  int m_nBarState = 0;  // 0x1 horizontal bar shown, 0x2 vertical bar shown
  int m_nRowsPerWheelNotch = 3;

  // Mouse.
  MouseMode m_MouseMode = MM_IDLE;
  bool m_bLMouseButtonDown = false;
  QPoint m_LeftClickDownPoint, m_LastMousePoint, m_ptCursor;
  QTimer m_AutoScrollTimer;
  int m_nTimerID = 0;
  int m_nAutoScrollInterval = 25;
  int m_nResizeCaptureRange = 3;

  // Sorting (grid_sort.cpp).
  int m_nSortColumn = -1;
  bool m_bAscending = true;

  // Notifications.
  GridNotifyHandler* m_pNotifyHandler = nullptr;
  unsigned m_nCtrlId = 0;
};

}  // namespace kelvanor
