// The endpoint grid of the settings dialog: its set-up, the add, delete and move buttons,
// and pasting, where an endpoint list becomes new rows after the last one while any other
// text goes into the cells as the grid always puts it (the forms a line may take are the
// list reader's tests).
#include <QClipboard>
#include <QGuiApplication>

#include "tests/settings/setting_dialog_fixture.h"

namespace kelvanor::test {
namespace {

using DialogGridTest = SettingDialogTest;

TEST_F(DialogGridTest, SetUpGivesTheOptionsHeadersAndFontOfTheEndpointList) {
  Open();
  const CGridCtrl& grid = Grid();
  // Drag and drop, grid lines, sorting on a header click, selection, single-row selection,
  // editing, column and row resizing, header clicks selecting a column, focus tracking in
  // the headers, fixed rows and columns, font weight, control id.
  EXPECT_EQ((std::vector<int>{grid.GetDragAndDrop(), grid.GetGridLines(), grid.GetSortOnHeaderClick(),
                              grid.IsSelectable(), grid.GetSingleRowSelection(), grid.IsEditable(),
                              grid.GetColumnResize(), grid.GetRowResize(), grid.GetHeaderClickSelectsColumn(),
                              grid.GetTrackFocusCell(), grid.GetFixedRowCount(), grid.GetFixedColumnCount(),
                              grid.GetFont()->lfWeight, static_cast<int>(grid.GetDlgCtrlID())}),
            (std::vector<int>{false, GVL_BOTH, false, true, true, true, true, true, false, false, 1, 1, 400, IDC_GRID}));
  EXPECT_STREQ(grid.GetFont()->lfFaceName, "MS Shell Dlg");
  const char8_t* headers[] = {u8"ID", u8"IP", u8"端口", u8"备注", u8"地址族"};
  const int widths[] = {35, 135, 65, 170, 60};
  ASSERT_EQ(grid.GetColumnCount(), 5);
  for (int col = 0; col < 5; ++col) {
    EXPECT_EQ(grid.GetItemText(0, col), Gbk(headers[col]));
    EXPECT_EQ(grid.GetCell(0, col)->GetFormat(), std::uint32_t{DT_WORDBREAK}) << col;
    EXPECT_EQ(grid.GetColumnWidth(col), widths[col]);
  }
}

// Regression: rows were left with their old numbers, so 2, 3, 3 after a delete and an add.
TEST_F(DialogGridTest, DeleteTakesTheTopmostSelectedRowButNeverTheHeaderAndTheRowsReadOneToN) {
  setting.Append(IPInfo("host", -5, Gbk(u8"备注 & <x>")));
  OpenWith(2);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"1 host -5 " + Gbk(u8"备注 & <x>"), "2 10.0.0.1 8001 r1",
                                               "3 10.0.0.2 8002 r2"}));
  Click(IDC_BUTTON_DELETE);  // nothing selected
  SelectRows(1, 2);
  Click(IDC_BUTTON_DELETE);
  Click(IDC_BUTTON_ADD);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"1 10.0.0.1 8001 r1", "2 10.0.0.2 8002 r2", "3   "}));
  EXPECT_TRUE(Grid().checkConsistency());
  SelectRows(2, 2);
  Grid().SetItemState(0, 1, Grid().GetItemState(0, 1) | CELL_SELECTED);
  Click(IDC_BUTTON_DELETE);
  EXPECT_EQ(Grid().GetItemText(0, 1), "IP");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"1 10.0.0.1 8001 r1", "2 10.0.0.2 8002 r2 *", "3   "}));
}

// Regression: the focus stayed on 添加, so what was typed next was lost and Enter went to a
// button.
TEST_F(DialogGridTest, AddScrollsTheNewRowIntoViewWithItsAddressFocusedSoTypingFillsIt) {
  QDialog& dialog = OpenWith(14);
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  Click(IDC_BUTTON_ADD);
  GdiRect added;
  ASSERT_TRUE(Grid().GetCellRect(15, 1, &added));
  EXPECT_LT(added.bottom, Grid().viewport()->height()) << "wholly shown";
  QTest::keyClicks(QApplication::focusWidget(), "10.0.0.99");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QTest::keyClicks(QApplication::focusWidget(), "99");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(Rows().back(), "15 10.0.0.99 99 ");
  EXPECT_TRUE(dialog.isVisible());
}

void Paste(const std::string& gbk, QWidget& grid, QKeySequence keys) {
  QGuiApplication::clipboard()->setText(GbkToQString(gbk));
  QTest::keySequence(&grid, keys);
}

TEST_F(DialogGridTest, PastedTextGoesIntoTheCellsFromTheFocusCellAndAListAfterTheLastRowNamingLinesThatAreNoEndpoint) {
  OpenWith(2);
  Select(2, 2, 2, 2);
  Paste("8080\tnew remark", Grid(), QKeySequence::Paste);
  EXPECT_TRUE(boxes.calls.empty());
  Select(1, 3, 1, 3);
  Paste("a.example:1 " + Gbk(u8"甲") + "\r\nnot an endpoint\r\n\r\nd:8O80\r\n", Grid(), Qt::CTRL | Qt::Key_V);
  ASSERT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(boxes.calls[0].text, Gbk(u8"第 2、4 行读不出地址和端口，未添加。"));
  Paste("b\t2\tr, \"b\"", Grid(), Qt::SHIFT | Qt::Key_Insert);  // a single endpoint line is a list too
  EXPECT_EQ(Rows(), (std::vector<std::string>{"1 10.0.0.1 8001 r1", "2 10.0.0.2 8080 new remark",
                                              "3 a.example 1 " + Gbk(u8"甲"), "4 b 2 r, \"b\""}));
  EXPECT_EQ(boxes.calls.size(), 1u);
  EXPECT_TRUE(Grid().checkConsistency());
}

// Regression: a pasted port 0 or 65536 left its line out, said to hold no address and port.
TEST_F(DialogGridTest, APastedPortOutOfRangeIsAddedAndNamedWithItsCellFocusedAsOkNamesATypedOne) {
  for (const char* port : {"0", "65536"}) {
    SCOPED_TRACE(port);
    setting = {};
    boxes.calls.clear();
    QDialog& dialog = OpenWith(2);
    Paste(std::string("h\t") + port + "\tr\t6\r\n", Grid(), QKeySequence::Paste);
    EXPECT_EQ(Rows().back(), std::string("3 h ") + port + " r");
    EXPECT_EQ(Grid().GetItemText(3, 4), "IPv6");
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, Gbk(u8"第3行的端口无效，请输入 1 到 65535 之间的整数。"));
    EXPECT_EQ(std::tuple(dialog.focusWidget(), Grid().GetFocusCell(), Grid().IsCellSelected(3, 2)),
              std::tuple(&Grid(), CCellID(3, 2), true));
  }
}

// Each case: the endpoints, the selected rows (first 0 selects none), the button, the box
// it shows if any, and which endpoint each row shows afterwards, * after a selected one.
TEST_F(DialogGridTest, MoveButtonsMoveOneRowOrSayWhyNot) {
  const std::tuple<int, int, int, int, const char8_t*, std::string> moves[] = {
      {3, 2, 2, IDC_BUTTON_UP, nullptr, "2*13"},
      {3, 2, 2, IDC_BUTTON_DOWN, nullptr, "132*"},
      {3, 1, 1, IDC_BUTTON_UP, u8"第一行不可上移！", "1*23"},
      {3, 3, 3, IDC_BUTTON_DOWN, u8"最后一行不可下移！", "123*"},
      {3, 1, 2, IDC_BUTTON_UP, u8"请选择单行移动！", "1*2*3"},
      {3, 2, 3, IDC_BUTTON_DOWN, u8"请选择单行移动！", "12*3*"},
      {3, 0, 0, IDC_BUTTON_DOWN, nullptr, "123"},
      {3, 1, 3, IDC_BUTTON_UP, nullptr, "1*2*3*"},
      {1, 1, 1, IDC_BUTTON_DOWN, nullptr, "1*"},
  };
  for (const auto& [endpoints, first, last, button, message, order] : moves) {
    SCOPED_TRACE(order);
    setting = {};
    boxes.calls.clear();
    OpenWith(endpoints);
    if (first) SelectRows(first, last);
    Click(button);
    ASSERT_EQ(boxes.calls.size(), message ? 1u : 0u);
    if (message) {
      EXPECT_EQ(boxes.calls[0].text, Gbk(message));
    }
    std::vector<std::string> expected;
    for (char i : order) {
      if (i == '*')
        expected.back() += " *";
      else
        expected.push_back(std::to_string(expected.size() + 1) + " 10.0.0." + i + " 800" + i + " r" + i);
    }
    EXPECT_EQ(Rows(), expected);
    // Regression: the grid's own focus cell and anchor moved with the row; they stay put.
    EXPECT_EQ(Grid().GetFocusCell(), first ? CCellID(first, 1) : CCellID());
    EXPECT_EQ(Grid().GetSelectionStartCell(), first ? CCellID(first, 1) : CCellID());
    EXPECT_TRUE(Grid().checkConsistency());
  }
}

}  // namespace
}  // namespace kelvanor::test
