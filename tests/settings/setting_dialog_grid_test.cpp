// The endpoint grid of the settings dialog: how it opens, and the add, delete and move
// buttons.
#include "tests/settings/setting_dialog_fixture.h"

namespace kelvanor::test {
namespace {

class DialogGridTest : public SettingDialogTest {
 protected:
  void AddEndpoints(int count) {
    for (int i = 1; i <= count; ++i)
      setting.Append(IPInfo("10.0.0." + std::to_string(i), 8000 + i, "r" + std::to_string(i)));
  }
  std::vector<std::string> Column(int col) {
    std::vector<std::string> texts;
    for (int row = 1; row < Grid().GetRowCount(); ++row) texts.push_back(Grid().GetItemText(row, col));
    return texts;
  }
};

TEST_F(DialogGridTest, OpensWithHeadersAndOneNumberedRowPerEndpoint) {
  AddEndpoints(2);
  setting.Append(IPInfo("host", -5, Gbk(u8"备注 & <x>")));
  Open();
  CGridCtrl& grid = Grid();
  ASSERT_EQ(grid.GetRowCount(), 4);
  ASSERT_EQ(grid.GetColumnCount(), 4);
  EXPECT_EQ(grid.GetFixedRowCount(), 1);
  EXPECT_EQ(grid.GetFixedColumnCount(), 1);
  const char8_t* headers[] = {u8"ID", u8"IP", u8"端口", u8"备注"};
  const int widths[] = {35, 135, 65, 230};
  for (int col = 0; col < 4; ++col) {
    EXPECT_EQ(grid.GetItemText(0, col), Gbk(headers[col]));
    EXPECT_EQ(grid.GetColumnWidth(col), widths[col]);
  }
  EXPECT_EQ(Column(0), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(Column(1), (std::vector<std::string>{"10.0.0.1", "10.0.0.2", "host"}));
  EXPECT_EQ(Column(2), (std::vector<std::string>{"8001", "8002", "-5"}));
  EXPECT_EQ(grid.GetItemText(3, 3), Gbk(u8"备注 & <x>"));
  EXPECT_FALSE(grid.GetHeaderClickSelectsColumn());
  EXPECT_FALSE(grid.GetSortOnHeaderClick());
  EXPECT_FALSE(grid.GetDragAndDrop());
  EXPECT_TRUE(grid.IsEditable());
  EXPECT_TRUE(grid.checkConsistency());
}

TEST_F(DialogGridTest, AddNumbersTheNewRowFromTheRowCountSoNumbersMayRepeatAfterADelete) {
  AddEndpoints(2);
  Open();
  Click(IDC_BUTTON_ADD);
  ASSERT_EQ(Grid().GetRowCount(), 4);
  EXPECT_EQ(Grid().GetItemText(3, 0), "3");
  for (int col = 1; col <= 3; ++col) EXPECT_EQ(Grid().GetItemText(3, col), "");

  SelectRows(1, 1);
  Click(IDC_BUTTON_DELETE);
  EXPECT_EQ(Column(1), (std::vector<std::string>{"10.0.0.2", ""}));
  Click(IDC_BUTTON_ADD);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"2", "3", "3"}));
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

TEST_F(DialogGridTest, MovingUpSwapsTheTextsAndTheSelectionTravelsWithTheRow) {
  AddEndpoints(3);
  Open();
  SelectRows(2, 2);
  Click(IDC_BUTTON_UP);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(Column(1), (std::vector<std::string>{"10.0.0.2", "10.0.0.1", "10.0.0.3"}));
  EXPECT_EQ(Column(2), (std::vector<std::string>{"8002", "8001", "8003"}));
  EXPECT_EQ(Column(3), (std::vector<std::string>{"r2", "r1", "r3"}));
  for (int col = 1; col <= 3; ++col) {
    EXPECT_EQ(Grid().GetItemState(1, col), CELL_FOCUSED | CELL_SELECTED);
    EXPECT_FALSE(Grid().IsCellSelected(2, col));
  }
  EXPECT_EQ(Grid().GetFocusCell(), CCellID(1, 1));
  EXPECT_TRUE(Grid().checkConsistency());

  Click(IDC_BUTTON_DOWN);
  Click(IDC_BUTTON_DOWN);
  EXPECT_EQ(Column(1), (std::vector<std::string>{"10.0.0.1", "10.0.0.3", "10.0.0.2"}));
  EXPECT_TRUE(Grid().IsCellSelected(3, 2));
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(DialogGridTest, MovesAtTheEdgesOrOfSeveralRowsAreRefusedWithTheirMessages) {
  AddEndpoints(3);
  Open();
  SelectRows(1, 1);
  Click(IDC_BUTTON_UP);
  SelectRows(3, 3);
  Click(IDC_BUTTON_DOWN);
  SelectRows(1, 2);
  Click(IDC_BUTTON_UP);
  Click(IDC_BUTTON_DOWN);
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{Gbk(u8"第一行不可上移！"), Gbk(u8"最后一行不可下移！"),
                                                  Gbk(u8"请选择单行移动！"), Gbk(u8"请选择单行移动！")}));
  EXPECT_EQ(Column(1), (std::vector<std::string>{"10.0.0.1", "10.0.0.2", "10.0.0.3"}));
}

TEST_F(DialogGridTest, MovesDoNothingWithoutSelectionWithOneRowOrWithEveryRowSelected) {
  AddEndpoints(1);
  Open();
  SelectRows(1, 1);
  Click(IDC_BUTTON_UP);
  Click(IDC_BUTTON_DOWN);
  Click(IDC_BUTTON_ADD);
  Grid().SetSelectedRange(1, 1, 2, 3);
  Click(IDC_BUTTON_UP);
  Grid().ClearSelection();
  Click(IDC_BUTTON_DOWN);
  EXPECT_TRUE(boxes.calls.empty());
  EXPECT_EQ(Column(1), (std::vector<std::string>{"10.0.0.1", ""}));
}

}  // namespace
}  // namespace kelvanor::test
