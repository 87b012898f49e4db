// Pasting into the settings dialog's grid: an endpoint list becomes new rows after the
// last one; any other text is pasted into the cells as the grid always does.
#include <QClipboard>
#include <QGuiApplication>

#include "tests/settings/setting_dialog_fixture.h"

namespace kelvanor::test {
namespace {

class DialogPasteTest : public SettingDialogTest {
 protected:
  void OpenWithTwoRows() {
    setting.Append(IPInfo("10.0.0.1", 8001, "r1"));
    setting.Append(IPInfo("10.0.0.2", 8002, "r2"));
    Open();
  }
  void Paste(const std::string& gbk, QKeySequence keys = QKeySequence::Paste) {
    QGuiApplication::clipboard()->setText(GbkToQString(gbk));
    QTest::keySequence(&Grid(), keys);
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
};

TEST_F(DialogPasteTest, AListIsAppendedAfterTheLastRowWhateverCellHasTheFocus) {
  OpenWithTwoRows();
  for (const QKeySequence keys : {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)}) {
    SCOPED_TRACE(keys.toString().toStdString());
    while (Grid().GetRowCount() > 3) Grid().DeleteRow(3);
    Grid().SetFocusCell(1, 3);
    Grid().SetSelectedRange(1, 3, 1, 3);
    Paste("a.example:1 " + Gbk(u8"甲") + "\r\nb\t2\tr, \"b\"\r\n", keys);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"1 10.0.0.1 8001 r1", "2 10.0.0.2 8002 r2",
                                                "3 a.example 1 " + Gbk(u8"甲"), "4 b 2 r, \"b\""}));
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_TRUE(Grid().checkConsistency());
  }
}

TEST_F(DialogPasteTest, LinesThatAreNoEndpointAreNamedInOneMessageAndTheRestIsAdded) {
  Open();
  Paste("# exported list\nc,3,\"x, y\"\nnot an endpoint\n\nd:65536\ne:5\n");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"1 c 3 x, y", "2 e 5 "}));
  ASSERT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(boxes.calls[0].text, Gbk(u8"第 3、5 行读不出地址和端口，未添加。"));
}

TEST_F(DialogPasteTest, TextThatIsNoListIsPastedIntoTheCellsFromTheFocusCell) {
  OpenWithTwoRows();
  Grid().SetFocusCell(2, 2);
  Grid().SetSelectedRange(2, 2, 2, 2);
  Paste("8080\tnew remark");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"1 10.0.0.1 8001 r1", "2 10.0.0.2 8080 new remark"}));
  EXPECT_TRUE(boxes.calls.empty());
}

}  // namespace
}  // namespace kelvanor::test
