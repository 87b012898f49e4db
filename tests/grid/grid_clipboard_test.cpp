// Copy, cut, paste and Delete through the real clipboard, read back as GBK after the
// round trip through its Unicode text.
#include <QClipboard>
#include <QMimeData>

#include "grid/in_place_edit.h"
#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

class GridClipboardTest : public SpiedGridTest {
 protected:
  static void PutOnClipboard(const std::string& gbk) { QGuiApplication::clipboard()->setText(GbkToQString(gbk)); }
  static std::string ClipboardBytes() { return QStringToGbk(QGuiApplication::clipboard()->text()); }
  void SelectBlock(CGridCtrl& grid, int r0, int c0, int r1, int c1) { grid.SetSelectedRange(r0, c0, r1, c1); }
};

TEST_F(GridClipboardTest, CopyWritesTabsBetweenFieldsAndCrLfBetweenLines) {
  CGridCtrl& grid = Grid();
  const char* texts[2][3] = {{"a", "b", "c"}, {"d", "e", "f"}};
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) grid.SetItemText(2 + r, 1 + c, texts[r][c]);
  SelectBlock(grid, 2, 1, 3, 3);
  grid.SetFocusCell(2, 1);
  Key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(ClipboardBytes(), "a\tb\tc\r\nd\te\tf");
}

TEST_F(GridClipboardTest, CopyLeavesUnselectedCellsEmptyAndHiddenOnesOut) {
  CGridCtrl& grid = Grid();
  grid.SetItemText(1, 1, Gbk(u8"名称"));
  SelectBlock(grid, 1, 1, 2, 4);
  grid.SetItemState(1, 2, grid.GetItemState(1, 2) & ~CELL_SELECTED);  // a hole in the range
  grid.SetColumnWidth(3, 0);
  grid.SetFocusCell(1, 1);
  grid.OnEditCopy();
  EXPECT_EQ(ClipboardBytes(), Gbk(u8"名称") + "\t\t1,4\r\n2,1\t2,2\t2,4");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8(u8"名称\t\t1,4\r\n2,1\t2,2\t2,4"));
}

TEST_F(GridClipboardTest, CopyAndCutWithNothingSelectedLeaveTheClipboard) {
  CGridCtrl& grid = Grid();
  PutOnClipboard("kept");
  EXPECT_FALSE(grid.CanEditCopy());
  grid.OnEditCopy();
  grid.OnEditCut();
  EXPECT_EQ(ClipboardBytes(), "kept");
}

TEST_F(GridClipboardTest, CutCopiesThenClearsOnlyEditableCells) {
  CGridCtrl& grid = Grid(10, true);
  grid.SetItemState(1, 2, grid.GetItemState(1, 2) | CELL_READONLY);
  Click(At(1, 1));
  Mouse(QEvent::MouseButtonPress, At(1, 2), Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
  Release(At(1, 2));
  Key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(ClipboardBytes(), "1,1\t1,2");
  EXPECT_EQ(grid.GetItemText(1, 1), "");
  EXPECT_EQ(grid.GetItemText(1, 2), "1,2");
}

TEST_F(GridClipboardTest, DeleteKeyClearsEditableCellsOfTheSelection) {
  CGridCtrl& grid = Grid(10, true);
  grid.SetItemState(2, 2, grid.GetItemState(2, 2) | CELL_READONLY);
  spy_.answers[GN_ENDEDIT] = 0;
  Press(At(1, 1));
  Drag(At(2, 2));
  Release(At(2, 2));
  Key(Qt::Key_Delete);
  EXPECT_EQ(grid.GetItemText(1, 1), "");
  EXPECT_EQ(grid.GetItemText(1, 2), "");
  EXPECT_EQ(grid.GetItemText(2, 1), "");
  EXPECT_EQ(grid.GetItemText(2, 2), "2,2");
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(GridClipboardTest, PasteSplitsOnCommaAndTabAndSelectsTheBlock) {
  CGridCtrl& grid = Grid(10, true);
  Click(At(2, 2));
  PutOnClipboard("1,2\r\n3\t4");
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(grid.GetItemText(2, 2), "1");
  EXPECT_EQ(grid.GetItemText(2, 3), "2");
  EXPECT_EQ(grid.GetItemText(3, 2), "3");
  EXPECT_EQ(grid.GetItemText(3, 3), "4");
  EXPECT_EQ(grid.GetItemText(2, 4), "2,4");
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(2, 2, 3, 3));
  EXPECT_EQ(grid.GetSelectedCount(), 4);
}

TEST_F(GridClipboardTest, PasteTrimsFieldsAndEmptyFieldsClearCells) {
  CGridCtrl& grid = Grid(10, true);
  Click(At(1, 1));
  PutOnClipboard(Gbk(u8"  甲 ,,x, y,\t ") + "\n");
  Key(Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(grid.GetItemText(1, 1), Gbk(u8"甲"));
  EXPECT_EQ(grid.GetItemText(1, 2), "");
  EXPECT_EQ(grid.GetItemText(1, 3), "x");
  EXPECT_EQ(grid.GetItemText(1, 4), "y");
  EXPECT_EQ(grid.GetItemText(2, 1), "2,1");  // the last field was white space at the row's end
}

TEST_F(GridClipboardTest, PasteBeyondTheTableIsDroppedAndHiddenRowsAreSkipped) {
  CGridCtrl& grid = Grid(5, true);
  grid.SetRowHeight(3, 0);
  Click(At(2, 3));
  PutOnClipboard("a\tb\tc\nd\te\tf\ng\th\ti");
  grid.OnEditPaste();
  EXPECT_EQ(grid.GetItemText(2, 3), "a");
  EXPECT_EQ(grid.GetItemText(2, 4), "b");
  EXPECT_EQ(grid.GetItemText(3, 3), "3,3");  // hidden: the second line went below it
  EXPECT_EQ(grid.GetItemText(4, 3), "d");
  EXPECT_EQ(grid.GetItemText(4, 4), "e");
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(2, 3, 4, 4));
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(GridClipboardTest, PasteSkipsHiddenColumnsAndReadOnlyCells) {
  CGridCtrl& grid = Grid(10, true);
  grid.SetColumnWidth(2, 0);
  grid.SetItemState(1, 3, grid.GetItemState(1, 3) | CELL_READONLY);
  Click(At(1, 1));
  PutOnClipboard("a,b,c");
  grid.OnEditPaste();
  EXPECT_EQ(grid.GetItemText(1, 1), "a");
  EXPECT_EQ(grid.GetItemText(1, 2), "1,2");
  EXPECT_EQ(grid.GetItemText(1, 3), "1,3");
  EXPECT_EQ(grid.GetItemText(1, 4), "c");
}

TEST_F(GridClipboardTest, PasteIsRefusedOnReadOnlyTargetOrWithoutEditing) {
  CGridCtrl& grid = Grid(10, true);
  PutOnClipboard("new");
  Click(At(1, 1));
  grid.SetItemState(1, 1, grid.GetItemState(1, 1) | CELL_READONLY);
  EXPECT_FALSE(grid.CanEditPaste());
  grid.OnEditPaste();
  EXPECT_EQ(grid.GetItemText(1, 1), "1,1");
  grid.SetItemState(1, 1, grid.GetItemState(1, 1) & ~CELL_READONLY);
  EXPECT_TRUE(grid.CanEditPaste());
  grid.SetEditable(false);
  EXPECT_FALSE(grid.CanEditPaste());
  grid.OnEditPaste();
  EXPECT_EQ(grid.GetItemText(1, 1), "1,1");
}

TEST_F(GridClipboardTest, PasteIntoTheCellBeingEditedGoesToItsEditor) {
  CGridCtrl& grid = Grid(10, true);
  Click(At(1, 1));
  Key(Qt::Key_F2);
  auto* editor = qobject_cast<CInPlaceEdit*>(QApplication::focusWidget());
  ASSERT_NE(editor, nullptr);
  PutOnClipboard(Gbk(u8"粘,贴"));
  grid.OnEditPaste();
  EXPECT_EQ(editor->text(), QString::fromUtf8(u8"1,1粘,贴"));
  EXPECT_EQ(grid.GetItemText(1, 1), "1,1");
  EXPECT_EQ(grid.GetItemText(1, 2), "1,2");
}

TEST_F(GridClipboardTest, CopiedTextOutlivesTheGrid) {
  CGridCtrl& grid = Grid();
  SelectBlock(grid, 1, 1, 1, 2);
  grid.OnEditCopy();
  grid_.reset();
  EXPECT_EQ(ClipboardBytes(), "1,1\t1,2");
}

}  // namespace
}  // namespace kelvanor::testing
