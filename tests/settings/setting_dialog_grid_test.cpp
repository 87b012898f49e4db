// The endpoint grid of the settings dialog: its set-up, and the add, delete and move
// buttons.
#include "tests/settings/setting_dialog_fixture.h"

namespace kelvanor::test {
namespace {

using DialogGridTest = SettingDialogTest;

TEST_F(DialogGridTest, SetUpGivesTheOptionsAndHeadersOfTheEndpointList) {
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
      {"columns", grid.GetColumnCount(), 4},
  };
  for (const auto& o : options) EXPECT_EQ(o.actual, o.expected) << o.option;
  const char8_t* headers[] = {u8"ID", u8"IP", u8"端口", u8"备注"};
  const int widths[] = {35, 135, 65, 230};
  for (int col = 0; col < 4; ++col) {
    EXPECT_EQ(grid.GetItemText(0, col), Gbk(headers[col]));
    EXPECT_EQ(grid.GetCell(0, col)->GetFormat(), std::uint32_t{DT_WORDBREAK}) << col;
    EXPECT_EQ(grid.GetColumnWidth(col), widths[col]);
  }
}

TEST_F(DialogGridTest, OpensWithOneNumberedRowPerEndpoint) {
  AddEndpoints(2);
  setting.Append(IPInfo("host", -5, Gbk(u8"备注 & <x>")));
  Open();
  EXPECT_EQ(Column(0), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(Column(1), (std::vector<std::string>{"10.0.0.1", "10.0.0.2", "host"}));
  EXPECT_EQ(Column(2), (std::vector<std::string>{"8001", "8002", "-5"}));
  EXPECT_EQ(Column(3), (std::vector<std::string>{"r1", "r2", Gbk(u8"备注 & <x>")}));
  EXPECT_TRUE(Grid().checkConsistency());
}

TEST_F(DialogGridTest, AddNumbersTheNewRowFromTheRowCountSoNumbersMayRepeatAfterADelete) {
  AddEndpoints(2);
  Open();
  Click(IDC_BUTTON_ADD);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(Column(1), (std::vector<std::string>{"10.0.0.1", "10.0.0.2", ""}));
  EXPECT_EQ(Column(3), (std::vector<std::string>{"r1", "r2", ""}));
  SelectRows(1, 1);
  Click(IDC_BUTTON_DELETE);
  Click(IDC_BUTTON_ADD);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"2", "3", "3"}));
  EXPECT_EQ(Column(1), (std::vector<std::string>{"10.0.0.2", "", ""}));
  EXPECT_TRUE(Grid().checkConsistency());
}

TEST_F(DialogGridTest, DeleteRemovesOnlyTheTopmostSelectedRowAndNothingWithoutSelection) {
  AddEndpoints(4);
  Open();
  Click(IDC_BUTTON_DELETE);
  EXPECT_EQ(Grid().GetRowCount(), 5);
  SelectRows(2, 3);
  Click(IDC_BUTTON_DELETE);
  EXPECT_EQ(Column(1), (std::vector<std::string>{"10.0.0.1", "10.0.0.3", "10.0.0.4"}));
  EXPECT_EQ(Grid().GetSelectedCount(), 0);
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(DialogGridTest, DeleteWithTheHeaderRowSelectedDeletesNothing) {
  AddEndpoints(2);
  Open();
  SelectRows(2, 2);
  Grid().SetItemState(0, 1, Grid().GetItemState(0, 1) | CELL_SELECTED);
  Click(IDC_BUTTON_DELETE);
  EXPECT_EQ(Grid().GetItemText(0, 1), "IP");
  EXPECT_EQ(Column(1), (std::vector<std::string>{"10.0.0.1", "10.0.0.2"}));
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(DialogGridTest, TheSelectionTheFocusCellAndTheAnchorTravelWithTheMovedRow) {
  AddEndpoints(3);
  Open();
  SelectRows(2, 2);
  Grid().SetSelectionStartCell(CCellID(2, 1));
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
  int endpoints;
  int first, last;  // the selected rows; 0 selects none
  int button;
  const char8_t* message;   // the box it shows, if any
  std::vector<int> order;   // which endpoint each row shows afterwards
};

class DialogMoveTest : public SettingDialogTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(DialogMoveTest, MovesOneRowOrSaysWhyNot) {
  const MoveCase& c = GetParam();
  AddEndpoints(c.endpoints);
  Open();
  if (c.first) SelectRows(c.first, c.last);
  Click(c.button);
  std::vector<std::string> expected;
  if (c.message) expected.push_back(Gbk(c.message));
  EXPECT_EQ(BoxTexts(), expected);
  for (int row = 1; row <= c.endpoints; ++row) {
    const std::string i = std::to_string(c.order[row - 1]);
    EXPECT_EQ(Grid().GetItemText(row, 0), std::to_string(row));
    EXPECT_EQ(Grid().GetItemText(row, 1), "10.0.0." + i);
    EXPECT_EQ(Grid().GetItemText(row, 2), "800" + i);
    EXPECT_EQ(Grid().GetItemText(row, 3), "r" + i);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, DialogMoveTest,
    ::testing::Values(MoveCase{"UpSwapsWithTheRowAbove", 3, 2, 2, IDC_BUTTON_UP, nullptr, {2, 1, 3}},
                      MoveCase{"DownSwapsWithTheRowBelow", 3, 2, 2, IDC_BUTTON_DOWN, nullptr, {1, 3, 2}},
                      MoveCase{"UpFromTheFirstRowIsRefused", 3, 1, 1, IDC_BUTTON_UP, u8"第一行不可上移！", {1, 2, 3}},
                      MoveCase{"DownFromTheLastRowIsRefused", 3, 3, 3, IDC_BUTTON_DOWN, u8"最后一行不可下移！", {1, 2, 3}},
                      MoveCase{"UpWithTwoRowsIsRefused", 3, 1, 2, IDC_BUTTON_UP, u8"请选择单行移动！", {1, 2, 3}},
                      MoveCase{"DownWithTwoRowsIsRefused", 3, 2, 3, IDC_BUTTON_DOWN, u8"请选择单行移动！", {1, 2, 3}},
                      MoveCase{"NothingSelectedDoesNothing", 3, 0, 0, IDC_BUTTON_DOWN, nullptr, {1, 2, 3}},
                      MoveCase{"EveryRowSelectedDoesNothing", 3, 1, 3, IDC_BUTTON_UP, nullptr, {1, 2, 3}},
                      MoveCase{"ASingleRowNeverMoves", 1, 1, 1, IDC_BUTTON_DOWN, nullptr, {1}}),
    [](const ::testing::TestParamInfo<MoveCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelvanor::test
