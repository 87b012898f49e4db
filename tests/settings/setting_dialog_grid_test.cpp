// The endpoint grid of the settings dialog: its set-up, and the add, delete and move
// buttons.
#include "tests/settings/setting_dialog_fixture.h"

namespace kelvanor::test {
namespace {

class DialogGridTest : public SettingDialogTest {
 protected:
  // Opens on endpoints 10.0.0.i:800i "ri" for i = 1..count.
  void OpenWith(int count) {
    for (int i = 1; i <= count; ++i)
      setting.Append(IPInfo("10.0.0." + std::to_string(i), 8000 + i, "r" + std::to_string(i)));
    Open();
  }
  // Each data row as "number ip port remark".
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (int row = 1; row < Grid().GetRowCount(); ++row) {
      std::string text = Grid().GetItemText(row, 0);
      for (int col = 1; col <= 3; ++col) text += " " + Grid().GetItemText(row, col);
      rows.push_back(text);
    }
    return rows;
  }
  void SelectRows(int first, int last) {
    Grid().SetFocusCell(first, 1);
    Grid().SetSelectionStartCell(CCellID(first, 1));
    Grid().SetSelectedRange(first, 1, last, 3);
  }
};

TEST_F(DialogGridTest, SetUpGivesTheOptionsHeadersAndFontOfTheEndpointList) {
  Open();
  const CGridCtrl& grid = Grid();
  const struct {
    const char* option;
    int actual, expected;
  } options[] = {
      {"drag and drop", grid.GetDragAndDrop(), false},
      {"grid lines", grid.GetGridLines(), GVL_BOTH},
      {"sort on header click", grid.GetSortOnHeaderClick(), false},
      {"selection", grid.IsSelectable(), true},
      {"single row selection", grid.GetSingleRowSelection(), true},
      {"editable", grid.IsEditable(), true},
      {"column resize", grid.GetColumnResize(), true},
      {"row resize", grid.GetRowResize(), true},
      {"header click selects column", grid.GetHeaderClickSelectsColumn(), false},
      {"focus header tracking", grid.GetTrackFocusCell(), false},
      {"fixed rows", grid.GetFixedRowCount(), 1},
      {"fixed columns", grid.GetFixedColumnCount(), 1},
      {"rows", grid.GetRowCount(), 1},
      {"font weight", grid.GetFont()->lfWeight, 400},
  };
  for (const auto& o : options) EXPECT_EQ(o.actual, o.expected) << o.option;
  EXPECT_STREQ(grid.GetFont()->lfFaceName, "MS Shell Dlg");
  const char8_t* headers[] = {u8"ID", u8"IP", u8"端口", u8"备注"};
  const int widths[] = {35, 135, 65, 230};
  ASSERT_EQ(grid.GetColumnCount(), 4);
  for (int col = 0; col < 4; ++col) {
    EXPECT_EQ(grid.GetItemText(0, col), Gbk(headers[col]));
    EXPECT_EQ(grid.GetCell(0, col)->GetFormat(), std::uint32_t{DT_WORDBREAK}) << col;
    EXPECT_EQ(grid.GetColumnWidth(col), widths[col]);
  }
}

TEST_F(DialogGridTest, DeleteTakesOnlyTheTopmostSelectedRowAndAddNumbersFromTheRowCount) {
  setting.Append(IPInfo("host", -5, Gbk(u8"备注 & <x>")));
  OpenWith(2);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"1 host -5 " + Gbk(u8"备注 & <x>"), "2 10.0.0.1 8001 r1",
                                               "3 10.0.0.2 8002 r2"}));
  Click(IDC_BUTTON_DELETE);  // nothing selected
  SelectRows(1, 2);
  Click(IDC_BUTTON_DELETE);
  Click(IDC_BUTTON_ADD);  // numbered from the row count, so numbers may repeat
  EXPECT_EQ(Rows(), (std::vector<std::string>{"2 10.0.0.1 8001 r1", "3 10.0.0.2 8002 r2", "3   "}));
  EXPECT_TRUE(Grid().checkConsistency());
}

TEST_F(DialogGridTest, DeleteWithTheHeaderRowSelectedDeletesNothing) {
  OpenWith(2);
  SelectRows(2, 2);
  Grid().SetItemState(0, 1, Grid().GetItemState(0, 1) | CELL_SELECTED);
  Click(IDC_BUTTON_DELETE);
  EXPECT_EQ(Grid().GetItemText(0, 1), "IP");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"1 10.0.0.1 8001 r1", "2 10.0.0.2 8002 r2"}));
}

TEST_F(DialogGridTest, TheSelectionTheFocusCellAndTheAnchorTravelWithTheMovedRow) {
  OpenWith(3);
  SelectRows(2, 2);
  Click(IDC_BUTTON_UP);
  for (int col = 1; col <= 3; ++col) {
    EXPECT_EQ(Grid().GetItemState(1, col), CELL_FOCUSED | CELL_SELECTED) << col;
    EXPECT_FALSE(Grid().IsCellSelected(2, col)) << col;
  }
  EXPECT_EQ(Grid().GetFocusCell(), CCellID(1, 1));
  EXPECT_EQ(Grid().GetSelectionStartCell(), CCellID(1, 1));
  EXPECT_TRUE(Grid().checkConsistency());
}

struct MoveCase {
  const char* name;
  int endpoints, first, last;  // the selected rows; first 0 selects none
  int button;
  const char8_t* message;  // the box it shows, if any
  std::string order;       // which endpoint each row shows afterwards
};

class DialogMoveTest : public DialogGridTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(DialogMoveTest, MovesOneRowOrSaysWhyNot) {
  const MoveCase& c = GetParam();
  OpenWith(c.endpoints);
  if (c.first) SelectRows(c.first, c.last);
  Click(c.button);
  EXPECT_EQ(BoxTexts(), c.message ? std::vector<std::string>{Gbk(c.message)} : std::vector<std::string>{});
  std::vector<std::string> expected;
  for (std::size_t row = 1; row <= c.order.size(); ++row) {
    const char i = c.order[row - 1];
    expected.push_back(std::to_string(row) + " 10.0.0." + i + " 800" + i + " r" + i);
  }
  EXPECT_EQ(Rows(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, DialogMoveTest,
    ::testing::Values(MoveCase{"UpSwapsWithTheRowAbove", 3, 2, 2, IDC_BUTTON_UP, nullptr, "213"},
                      MoveCase{"DownSwapsWithTheRowBelow", 3, 2, 2, IDC_BUTTON_DOWN, nullptr, "132"},
                      MoveCase{"UpFromTheFirstRowIsRefused", 3, 1, 1, IDC_BUTTON_UP, u8"第一行不可上移！", "123"},
                      MoveCase{"DownFromTheLastRowIsRefused", 3, 3, 3, IDC_BUTTON_DOWN, u8"最后一行不可下移！", "123"},
                      MoveCase{"UpWithTwoRowsIsRefused", 3, 1, 2, IDC_BUTTON_UP, u8"请选择单行移动！", "123"},
                      MoveCase{"DownWithTwoRowsIsRefused", 3, 2, 3, IDC_BUTTON_DOWN, u8"请选择单行移动！", "123"},
                      MoveCase{"NothingSelectedDoesNothing", 3, 0, 0, IDC_BUTTON_DOWN, nullptr, "123"},
                      MoveCase{"EveryRowSelectedDoesNothing", 3, 1, 3, IDC_BUTTON_UP, nullptr, "123"},
                      MoveCase{"ASingleRowNeverMoves", 1, 1, 1, IDC_BUTTON_DOWN, nullptr, "1"}),
    [](const ::testing::TestParamInfo<MoveCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelvanor::test
