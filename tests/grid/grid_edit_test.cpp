// In-place editing through real keys and clicks: opening, typing, cancelling, committing,
// moving on with Tab and arrows, the parent's vetoes, read-only cells and editor failure.
#include <QDialog>

#include "grid/in_place_edit.h"
#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

class GridEditTest : public SpiedGridTest {
 protected:
  CGridCtrl& Grid() {
    CGridCtrl& grid = SpiedGridTest::Grid(10, true);
    grid.SetFocusCell(2, 2);
    return grid;
  }
  CInPlaceEdit* Editor() { return qobject_cast<CInPlaceEdit*>(QApplication::focusWidget()); }
};

TEST_F(GridEditTest, TypingALetterReplacesTheTextAndEnterCommits) {
  CGridCtrl& grid = Grid();
  Type("x");
  ASSERT_NE(Editor(), nullptr);
  QCoreApplication::processEvents();  // the first key arrives like a posted character
  EXPECT_EQ(Editor()->text(), "x");
  EXPECT_TRUE(grid.GetCell(2, 2)->IsEditing());
  Type("yz");
  Key(Qt::Key_Return);
  EXPECT_EQ(grid.GetItemText(2, 2), "xyz");
  EXPECT_FALSE(grid.GetCell(2, 2)->IsEditing());
  EXPECT_EQ(grid.GetFocusCell(), CCellID(2, 2));
  EXPECT_EQ(spy_.Codes(), (std::vector<int>{GN_BEGINEDIT, GN_ENDEDIT}));
  EXPECT_TRUE(grid.hasFocus());
}

TEST_F(GridEditTest, BackspaceF2AndSpaceOpenTheEditorTheirOwnWay) {
  Grid();
  Key(Qt::Key_Backspace);
  QCoreApplication::processEvents();
  EXPECT_EQ(Editor()->text(), "2,");
  Key(Qt::Key_Escape);
  Key(Qt::Key_F2);
  EXPECT_EQ(Editor()->text(), "2,2");
  EXPECT_FALSE(Editor()->hasSelectedText());
  Key(Qt::Key_Escape);
  Key(Qt::Key_Space);
  QCoreApplication::processEvents();
  EXPECT_EQ(Editor()->selectedText(), "2,2");  // all selected, no space typed
}

TEST_F(GridEditTest, EscapePutsTheOldTextBackAndSendsNoEndEdit) {
  CGridCtrl& grid = Grid();
  Type("q");
  QCoreApplication::processEvents();
  Key(Qt::Key_Escape);
  EXPECT_EQ(grid.GetItemText(2, 2), "2,2");
  EXPECT_EQ(spy_.Codes(), std::vector<int>{GN_BEGINEDIT});
}

TEST_F(GridEditTest, TabCommitsAndOpensTheNextCellWrappingRows) {
  CGridCtrl& grid = Grid();
  grid.SetFocusCell(2, 4);
  Type("a");
  QCoreApplication::processEvents();
  Key(Qt::Key_Tab);
  EXPECT_EQ(grid.GetItemText(2, 4), "a");
  EXPECT_EQ(grid.GetFocusCell(), CCellID(3, 1));
  ASSERT_NE(Editor(), nullptr);
  EXPECT_TRUE(grid.GetCell(3, 1)->IsEditing());
  EXPECT_EQ(Editor()->selectedText(), "3,1");
  Key(Qt::Key_Escape);
  EXPECT_FALSE(grid.GetCell(3, 1)->IsEditing());
}

TEST_F(GridEditTest, ArrowsEndTypedEditsButMoveTheCaretInMouseEdits) {
  CGridCtrl& grid = Grid();
  Type("m");
  QCoreApplication::processEvents();
  Key(Qt::Key_Down);
  EXPECT_EQ(grid.GetItemText(2, 2), "m");
  EXPECT_EQ(grid.GetFocusCell(), CCellID(3, 2));
  Key(Qt::Key_Escape);

  Click(At(3, 2) - QPoint(20, 0));  // on the focus cell's text: edits on release
  ASSERT_NE(Editor(), nullptr);
  Key(Qt::Key_Left);
  EXPECT_TRUE(grid.GetCell(3, 2)->IsEditing());
  Key(Qt::Key_Right, Qt::ControlModifier);
  EXPECT_FALSE(grid.GetCell(3, 2)->IsEditing());
  EXPECT_EQ(grid.GetFocusCell(), CCellID(3, 3));
}

TEST_F(GridEditTest, ParentRefusingTheTextKeepsTheOldOne) {
  CGridCtrl& grid = Grid();
  spy_.answers[GN_ENDEDIT] = -1;
  Type("new");
  QCoreApplication::processEvents();
  Key(Qt::Key_Return);
  EXPECT_EQ(grid.GetItemText(2, 2), "2,2");
  EXPECT_TRUE(grid.GetItemState(2, 2) & CELL_MODIFIED);
}

TEST_F(GridEditTest, ParentRefusingToBeginAndReadOnlyCellsOpenNoEditor) {
  CGridCtrl& grid = Grid();
  spy_.answers[GN_BEGINEDIT] = -1;
  Type("z");
  EXPECT_EQ(Editor(), nullptr);
  spy_.answers.clear();
  grid.SetItemState(2, 2, grid.GetItemState(2, 2) | CELL_READONLY);
  spy_.calls.clear();
  Type("z");
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_TRUE(spy_.calls.empty());
  grid.SetEditable(false);
  grid.SetFocusCell(3, 3);
  Key(Qt::Key_F2);
  EXPECT_EQ(Editor(), nullptr);
}

TEST_F(GridEditTest, ScrollingWhileEditingCommits) {
  CGridCtrl& grid = MakeFilledGrid(60, 5, 1, 1);
  Activate();
  grid.SetFocusCell(2, 2);
  Type("s");
  QCoreApplication::processEvents();
  grid.OnVScroll(SB_LINEDOWN);
  EXPECT_EQ(grid.GetItemText(2, 2), "s");
  EXPECT_FALSE(grid.GetCell(2, 2)->IsEditing());
}

TEST_F(GridEditTest, TypingPastTheCellWidensTheEditorUpToTheClientEdge) {
  CGridCtrl& grid = Grid();
  grid.SetFocusCell(2, 4);
  Key(Qt::Key_F2);
  const int left = Editor()->geometry().left();
  Type("a very long text that does not fit the cell at all, not at all");
  EXPECT_GT(Editor()->geometry().width(), 60);
  EXPECT_EQ(Editor()->geometry().right() + 1, grid.viewport()->width());
  EXPECT_EQ(Editor()->geometry().left(), left);
  const int wide = Editor()->geometry().width();
  for (int i = 0; i < 30; ++i) Key(Qt::Key_Backspace);
  EXPECT_EQ(Editor()->geometry().width(), wide);  // never narrows
}

// A cell whose editor window cannot be made.
class NoEditorCell : public CGridCell {
 protected:
  CInPlaceEdit* CreateEditor(const GdiRect&, Qt::Alignment, unsigned, int, int, unsigned) override { return nullptr; }
};
const GridCellClass kNoEditorClass{"NoEditor", [] { return static_cast<CGridCellBase*>(new NoEditorCell); }};

TEST_F(GridEditTest, EditorThatCannotBeCreatedLeavesNoCellEditing) {
  CGridCtrl& grid = MakeGrid();
  grid.SetNotifyHandler(&spy_);
  grid.SetCellClass(&kNoEditorClass);
  grid.SetRowCount(3);
  grid.SetColumnCount(3);
  Activate();
  grid.SetFocusCell(1, 1);
  Key(Qt::Key_F2);
  EXPECT_FALSE(grid.GetCell(1, 1)->IsEditing());
  EXPECT_EQ(grid.GetCell(1, 1)->GetEditor(), nullptr);
  grid.StopEditing();
  EXPECT_EQ(spy_.Codes(), std::vector<int>{GN_BEGINEDIT});
}

TEST_F(GridEditTest, DoubleClickOnTextEdits) {
  CGridCtrl& grid = Grid();
  DoubleClick(At(4, 3) - QPoint(20, 0));
  ASSERT_NE(Editor(), nullptr);
  EXPECT_TRUE(grid.GetCell(4, 3)->IsEditing());
}

TEST_F(GridEditTest, InADialogEnterAndEscapeReachTheDialog) {
  QDialog dialog;
  CGridCtrl grid(&dialog, 5, 3, 1, 1);
  dialog.resize(300, 200);
  grid.resize(300, 200);
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  grid.setFocus();
  grid.SetFocusCell(2, 2);
  Key(Qt::Key_Escape);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_FALSE(grid.GetCell(2, 2)->IsEditing());
}

}  // namespace
}  // namespace kelvanor::testing
