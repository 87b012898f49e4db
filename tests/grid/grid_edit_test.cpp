// In-place editing through real keys and clicks: opening, typing, cancelling, committing,
// moving on, refusals of every kind, editor failure and dialogs.
#include <QClipboard>
#include <QDialog>
#include <QPushButton>

#include <functional>

#include "grid/in_place_edit.h"
#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

CInPlaceEdit* Editor() { return qobject_cast<CInPlaceEdit*>(QApplication::focusWidget()); }

class GridEditTest : public GridTest {
 protected:
  CGridCtrl& EditGrid(int rows = 10) {
    CGridCtrl& grid = Grid(rows, true);
    grid.SetFocusCell(2, 2);
    return grid;
  }
  // The first key reaches the editor like a posted character, on the next loop turn.
  static void Open(Qt::Key key) {
    Key(key);
    QCoreApplication::processEvents();
  }
};

TEST_F(GridEditTest, TypingReplacesTheTextEnterCommitsAndEscapeCancels) {
  CGridCtrl& grid = EditGrid();
  Open(Qt::Key_X);
  ASSERT_NE(Editor(), nullptr);
  Type("yz");
  Key(Qt::Key_Return);
  EXPECT_EQ(grid.GetItemText(2, 2), "xyz");
  EXPECT_TRUE(grid.hasFocus());
  Open(Qt::Key_Q);
  Key(Qt::Key_Escape);  // the old text back, and no end-of-edit notification
  EXPECT_EQ(grid.GetItemText(2, 2), "xyz");
  EXPECT_EQ(spy_.Codes(), (std::vector<int>{GN_BEGINEDIT, GN_ENDEDIT, GN_BEGINEDIT}));
}

TEST_F(GridEditTest, BackspaceF2AndSpaceOpenTheEditorTheirOwnWay) {
  EditGrid();
  for (const auto& [key, text, selected] :
       {std::tuple{Qt::Key_Backspace, "2,", ""}, {Qt::Key_F2, "2,2", ""}, {Qt::Key_Space, "2,2", "2,2"}}) {
    SCOPED_TRACE(key);
    Open(key);
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->text(), text);
    EXPECT_EQ(Editor()->selectedText(), selected);
    Key(Qt::Key_Escape);
  }
}

TEST_F(GridEditTest, MovingOnCommitsTypedEditsButArrowsMoveTheCaretInMouseEdits) {
  CGridCtrl& grid = EditGrid(60);
  grid.SetFocusCell(2, 4);
  Open(Qt::Key_A);
  Key(Qt::Key_Tab);  // commits, and edits the next cell, wrapping the row, its text selected
  EXPECT_EQ(grid.GetItemText(2, 4), "a");
  ASSERT_NE(Editor(), nullptr);
  EXPECT_EQ(Editor()->selectedText(), "3,1");
  Type("b");
  Key(Qt::Key_Down);
  EXPECT_EQ(grid.GetItemText(3, 1), "b");
  Key(Qt::Key_Escape);
  Click(At(4, 1) - QPoint(20, 0));  // on the focus cell's text: edits on release
  Key(Qt::Key_Left);
  EXPECT_TRUE(grid.GetCell(4, 1)->IsEditing());
  Key(Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(grid.GetFocusCell(), CCellID(4, 2));
  Type("c");  // into the editor the arrow opened there
  grid.OnVScroll(SB_LINEDOWN);
  EXPECT_EQ(grid.GetItemText(4, 2), "c");
  EXPECT_FALSE(grid.GetCell(4, 2)->IsEditing());
}

TEST_F(GridEditTest, DoubleClickOnTheTextOfTheFirstScrollableColumnEdits) {
  CGridCtrl& grid = EditGrid();
  DoubleClick(At(4, 1) - QPoint(20, 0));
  EXPECT_TRUE(grid.GetCell(4, 1)->IsEditing());
}

TEST_F(GridEditTest, TypingPastTheCellWidensTheEditorUpToTheClientEdgeAndNeverNarrows) {
  CGridCtrl& grid = EditGrid();
  grid.SetFocusCell(2, 4);
  Key(Qt::Key_F2);
  Type("a very long text that does not fit the cell at all, not at all");
  EXPECT_EQ(Editor()->geometry(), QRect(240, 40, 160, 19));  // to the client edge at 400
  for (int i = 0; i < 30; ++i) Key(Qt::Key_Backspace);
  EXPECT_EQ(Editor()->geometry(), QRect(240, 40, 160, 19));
}

// Cells whose editor window cannot be made, and cells that refuse every edited text.
class NoEditorCell : public CGridCell {
  CInPlaceEdit* CreateEditor(const GdiRect&, Qt::Alignment, unsigned, int, int, unsigned) override { return nullptr; }
};
class RefusingCell : public CGridCell {
  bool VetEditText(const std::string&) override { return false; }
};
const GridCellClass kNoEditorClass{"NoEditor", [] { return static_cast<CGridCellBase*>(new NoEditorCell); }};
const GridCellClass kRefusingClass{"Refusing", [] { return static_cast<CGridCellBase*>(new RefusingCell); }};

TEST_F(GridEditTest, EditorThatCannotBeCreatedLeavesNoCellEditing) {
  CGridCtrl& grid = MakeGrid();
  grid.SetCellClass(&kNoEditorClass);
  grid.SetRowCount(3);
  grid.SetColumnCount(3);
  Activate();
  grid.SetFocusCell(1, 1);
  Key(Qt::Key_F2);
  EXPECT_FALSE(grid.GetCell(1, 1)->IsEditing());
}

struct Refusal {
  const char* name;
  const GridCellClass* cells;
  std::function<void(CGridCtrl&, NotifySpy&)> refuse;
};

class GridEditRefusalTest : public GridEditTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(GridEditRefusalTest, NoKindOfEditChangesTheText) {
  QGuiApplication::clipboard()->setText("new");
  for (const auto& [key, modifiers] : {std::pair{Qt::Key_N, Qt::NoModifier}, {Qt::Key_X, Qt::ControlModifier},
                                       {Qt::Key_V, Qt::ControlModifier}, {Qt::Key_Delete, Qt::NoModifier}}) {
    SCOPED_TRACE(key);
    CGridCtrl& grid = MakeGrid();
    grid.SetCellClass(GetParam().cells);
    grid.SetRowCount(4);
    grid.SetColumnCount(4);
    grid.SetItemText(2, 2, "old");
    Activate();
    grid.SetFocusCell(2, 2);
    grid.SetSelectedRange(2, 2, 2, 2);
    GetParam().refuse(grid, spy_);
    Open(key);  // typing, cut, paste or Delete
    grid.StopEditing();
    EXPECT_EQ(grid.GetItemText(2, 2), "old");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, GridEditRefusalTest,
    ::testing::Values(
        Refusal{"ParentRefusesToBegin", &kGridCellClass, [](CGridCtrl&, NotifySpy& s) { s.answers[GN_BEGINEDIT] = -1; }},
        Refusal{"ParentRefusesTheResult", &kGridCellClass, [](CGridCtrl&, NotifySpy& s) { s.answers[GN_ENDEDIT] = -1; }},
        Refusal{"CellRefusesTheText", &kRefusingClass, [](CGridCtrl&, NotifySpy&) {}},
        Refusal{"ReadOnlyCell", &kGridCellClass, [](CGridCtrl& g, NotifySpy&) { g.SetItemState(2, 2, g.GetItemState(2, 2) | CELL_READONLY); }},
        Refusal{"ReadOnlyGrid", &kGridCellClass, [](CGridCtrl& g, NotifySpy&) { g.SetEditable(false); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GridEditTest, InADialogEnterAcceptsAndEscapeRejects) {
  for (const auto& [key, result] : {std::pair{Qt::Key_Return, QDialog::Accepted}, {Qt::Key_Escape, QDialog::Rejected}}) {
    QDialog dialog;
    CGridCtrl grid(&dialog, 5, 3, 1, 1);
    QPushButton ok("OK", &dialog);
    ok.setDefault(true);
    QObject::connect(&ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    dialog.setResult(-1);  // neither answer yet
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    grid.setFocus();
    grid.SetFocusCell(2, 2);
    Key(key);
    EXPECT_EQ(dialog.result(), result);
    EXPECT_FALSE(grid.GetCell(2, 2)->IsEditing());
  }
}

}  // namespace
}  // namespace kelvanor::testing
