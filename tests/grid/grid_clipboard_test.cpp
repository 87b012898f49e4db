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

class GridClipboardTest : public GridTest {
 protected:
  CGridCtrl& ActiveGrid(int rows = 10) { return Grid(rows, true); }
};

TEST_F(GridClipboardTest, CopyWritesTheSelectedBlockAsLinesOfTabbedFieldsThatOutliveTheGrid) {
  CGridCtrl& grid = ActiveGrid();
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

TEST_F(GridClipboardTest, CopyAndCutWithNothingSelectedLeaveTheClipboard) {
  CGridCtrl& grid = ActiveGrid();
  PutOnClipboard("kept");
  EXPECT_FALSE(grid.CanEditCopy());
  grid.OnEditCopy();
  grid.OnEditCut();
  EXPECT_EQ(ClipboardBytes(), "kept");
}

TEST_F(GridClipboardTest, CutCopiesAndDeleteDoesNotButBothClearOnlyEditableCells) {
  CGridCtrl& grid = ActiveGrid();
  AddState(1, 2, CELL_READONLY);
  AddState(2, 2, CELL_READONLY);
  Click(At(1, 1));
  Click(At(1, 2), Qt::ShiftModifier);
  Key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(ClipboardBytes(), "1,1\t1,2");
  Press(At(2, 1));
  Drag(At(3, 2));
  Release(At(3, 2));
  Key(Qt::Key_Delete);
  EXPECT_EQ(ClipboardBytes(), "1,1\t1,2");
  for (int r = 1; r <= 3; ++r)
    EXPECT_EQ(std::pair(grid.GetItemText(r, 1), grid.GetItemText(r, 2)),
              std::pair(std::string(), r == 3 ? std::string() : std::to_string(r) + ",2"));
  EXPECT_TRUE(grid.checkConsistency());
}

struct Paste {
  const char* name;
  std::string text;
  CCellID target;
  std::vector<std::pair<CCellID, std::string>> expected;
};

class GridPasteTest : public GridClipboardTest, public ::testing::WithParamInterface<Paste> {};

// Rows 1 .. 5 of 60 x 20 cells; row 3 and column 2 are hidden and cell (1, 3) is read-only.
TEST_P(GridPasteTest, WritesTheFieldsFromTheTarget) {
  CGridCtrl& grid = ActiveGrid(6);
  grid.SetRowHeight(3, 0);
  grid.SetColumnWidth(2, 0);
  AddState(1, 3, CELL_READONLY);
  grid.SetFocusCell(GetParam().target);
  PutOnClipboard(GetParam().text);
  Key(Qt::Key_V, Qt::ControlModifier);
  for (const auto& [cell, text] : GetParam().expected) EXPECT_EQ(grid.GetItemText(cell.row, cell.col), text) << cell.row << "," << cell.col;
  EXPECT_TRUE(grid.checkConsistency());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, GridPasteTest,
    ::testing::Values(
        Paste{"CommasTabsAndCarriageReturnsSplit", "a,b\r\nc\td", {4, 3}, {{{4, 3}, "a"}, {{4, 4}, "b"}, {{5, 3}, "c"}, {{5, 4}, "d"}}},
        Paste{"FieldsTrimmedAndEmptyOnesClear", Gbk(u8"  甲 ,,x,\t ") + "\n", {2, 1},
              {{{2, 1}, Gbk(u8"甲")}, {{2, 3}, ""}, {{2, 4}, "x"}, {{4, 1}, "4,1"}}},
        Paste{"HiddenRowsColumnsAndReadOnlyCellsSkipped", "a,b,c\nd\ne\nf\ng", {1, 1},
              {{{1, 1}, "a"}, {{1, 2}, "1,2"}, {{1, 3}, "1,3"}, {{1, 4}, "c"}, {{2, 1}, "d"}, {{3, 1}, "3,1"},
               {{4, 1}, "e"}, {{5, 1}, "f"}}},
        Paste{"RefusedOnAReadOnlyTarget", "new", {1, 3}, {{{1, 3}, "1,3"}, {{1, 4}, "1,4"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GridClipboardTest, PasteSelectsTheWrittenBlockOrClearsTheSelection) {
  CGridCtrl& grid = ActiveGrid();
  Click(At(2, 2));
  PutOnClipboard("1\t2\n3\t4");
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(grid.GetSelectedCellRange(), CCellBlock(2, 2, 3, 3));
  EXPECT_EQ(grid.GetSelectedCount(), 4);
  ASSERT_TRUE(grid.PasteFromClipboard({5, 1}, QGuiApplication::clipboard()->mimeData(), false));
  EXPECT_EQ(grid.GetItemText(6, 2), "4");
  EXPECT_EQ(grid.GetSelectedCount(), 0);
  EXPECT_EQ(grid.GetFocusCell(), CCellID());
  grid.SetFocusCell(1, 1);
  grid.SetEditable(false);
  EXPECT_FALSE(grid.CanEditPaste());
  grid.OnEditPaste();
  EXPECT_EQ(grid.GetItemText(1, 1), "1,1");
}

TEST_F(GridClipboardTest, PasteIntoTheCellBeingEditedGoesToItsEditor) {
  CGridCtrl& grid = ActiveGrid();
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
