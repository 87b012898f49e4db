// Copy, cut, paste and Delete through the real clipboard, read back as GBK after the
// round trip through its Unicode text.
#include <QClipboard>
#include <QMimeData>
#include <QPointer>

#include "grid/in_place_edit.h"
#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

void PutOnClipboard(const std::string& gbk) { QGuiApplication::clipboard()->setText(GbkToQString(gbk)); }
std::string ClipboardBytes() { return QStringToGbk(QGuiApplication::clipboard()->text()); }

using GridClipboardTest = GridTest;

TEST_F(GridClipboardTest, CopyWritesTheSelectedBlockAsLinesOfTabbedFieldsThatOutliveTheGrid) {
  CGridCtrl& grid = Grid(10, true);
  PutOnClipboard("kept");
  grid.OnEditCopy();
  grid.OnEditCut();
  EXPECT_EQ(ClipboardBytes(), "kept");  // nothing selected
  grid.SetItemText(1, 1, Gbk(u8"名称"));
  grid.SetSelectedRange(1, 1, 2, 4);
  grid.SetItemState(1, 2, grid.GetItemState(1, 2) & ~CELL_SELECTED);  // a hole: an empty field
  grid.SetColumnWidth(3, 0);                                          // hidden: left out
  grid.SetFocusCell(1, 1);
  Key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8(u8"名称\t\t1,4\r\n2,1\t2,2\t2,4"));
  const QPointer<const QMimeData> data = QGuiApplication::clipboard()->mimeData();
  grid_.reset();
  ASSERT_FALSE(data.isNull());
  EXPECT_EQ(ClipboardBytes(), Gbk(u8"名称") + "\t\t1,4\r\n2,1\t2,2\t2,4");
}

TEST_F(GridClipboardTest, CutCopiesAndDeleteDoesNotButBothClearOnlyEditableCells) {
  CGridCtrl& grid = Grid(10, true);
  AddState(1, 2, CELL_READONLY);
  AddState(2, 2, CELL_READONLY);
  Click(At(1, 1));
  Click(At(1, 2), Qt::ShiftModifier);
  Key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(ClipboardBytes(), "1,1\t1,2");
  grid.SetSelectedRange(2, 1, 3, 2);
  Key(Qt::Key_Delete);
  EXPECT_EQ(ClipboardBytes(), "1,1\t1,2");
  std::vector<std::string> texts;
  for (int r = 1; r <= 3; ++r) texts.insert(texts.end(), {grid.GetItemText(r, 1), grid.GetItemText(r, 2)});
  EXPECT_EQ(texts, (std::vector<std::string>{"", "1,2", "", "2,2", "", ""}));  // read-only cells keep theirs
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(GridClipboardTest, PasteWritesTheFieldsFromTheTarget) {
  // Rows 1 .. 5 of 60 x 20 cells; row 3 and column 2 are hidden and cell (1, 3) is read-only.
  const std::tuple<std::string, CCellID, std::vector<std::pair<CCellID, std::string>>> pastes[] = {
      {"a,b\r\nc\td", {4, 3}, {{{4, 3}, "a"}, {{4, 4}, "b"}, {{5, 3}, "c"}, {{5, 4}, "d"}}},
      {Gbk(u8"  甲 ,,x,\t ") + "\n", {2, 1}, {{{2, 1}, Gbk(u8"甲")}, {{2, 3}, ""}, {{2, 4}, "x"}, {{4, 1}, "4,1"}}},
      {"a,b,c\nd\ne\nf\ng", {1, 1},  // hidden rows and columns and read-only cells are skipped
       {{{1, 1}, "a"}, {{1, 3}, "1,3"}, {{1, 4}, "c"}, {{2, 1}, "d"}, {{3, 1}, "3,1"}, {{4, 1}, "e"}, {{5, 1}, "f"}}},
      {"new", {1, 3}, {{{1, 3}, "1,3"}, {{1, 4}, "1,4"}}}};  // refused on a read-only target
  for (const auto& [text, target, expected] : pastes) {
    SCOPED_TRACE(text);
    CGridCtrl& grid = Grid(6, true);
    grid.SetRowHeight(3, 0);
    grid.SetColumnWidth(2, 0);
    AddState(1, 3, CELL_READONLY);
    grid.SetFocusCell(target);
    PutOnClipboard(text);
    Key(Qt::Key_V, Qt::ControlModifier);
    for (const auto& [cell, cellText] : expected) EXPECT_EQ(grid.GetItemText(cell.row, cell.col), cellText) << cell.row << "," << cell.col;
  }
}

TEST_F(GridClipboardTest, PasteSelectsTheWrittenBlockOrClearsTheSelection) {
  CGridCtrl& grid = Grid(10, true);
  Click(At(2, 2));
  PutOnClipboard("1\t2\n3\t4");
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(std::pair(grid.GetSelectedCellRange(), grid.GetSelectedCount()), std::pair(CCellBlock(2, 2, 3, 3), 4));
  ASSERT_TRUE(grid.PasteFromClipboard({5, 1}, QGuiApplication::clipboard()->mimeData(), false));
  EXPECT_EQ(std::tuple(grid.GetItemText(6, 2), grid.GetSelectedCount(), grid.GetFocusCell()),
            std::tuple(std::string("4"), 0, CCellID()));
  grid.SetFocusCell(1, 1);
  grid.SetEditable(false);
  EXPECT_FALSE(grid.CanEditPaste());
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
  EXPECT_EQ(grid.GetItemText(1, 2), "1,2");
}

}  // namespace
}  // namespace kelvanor::testing
