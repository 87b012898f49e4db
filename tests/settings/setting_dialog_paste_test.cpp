// Pasting into the settings dialog's grid: an endpoint list becomes new rows after the
// last one; any other text is pasted into the cells as the grid always does. The forms a
// line may take are the list reader's tests.
#include <QClipboard>
#include <QGuiApplication>

#include "tests/settings/setting_dialog_fixture.h"

namespace kelvanor::test {
namespace {

class DialogPasteTest : public SettingDialogTest {
 protected:
  void Paste(const std::string& gbk, QKeySequence keys) {
    QGuiApplication::clipboard()->setText(GbkToQString(gbk));
    QTest::keySequence(&Grid(), keys);
  }
};

TEST_F(DialogPasteTest, AListIsAppendedAfterTheLastRowWithTheLinesThatAreNoEndpointNamed) {
  OpenWith(2);
  Select(1, 3, 1, 3);
  Paste("a.example:1 " + Gbk(u8"甲") + "\r\nnot an endpoint\r\n\r\nd:65536\r\n", Qt::CTRL | Qt::Key_V);
  ASSERT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(boxes.calls[0].text, Gbk(u8"第 2、4 行读不出地址和端口，未添加。"));
  Paste("b\t2\tr, \"b\"", Qt::SHIFT | Qt::Key_Insert);  // a single endpoint line is a list too
  EXPECT_EQ(Rows(), (std::vector<std::string>{"1 10.0.0.1 8001 r1", "2 10.0.0.2 8002 r2",
                                              "3 a.example 1 " + Gbk(u8"甲"), "4 b 2 r, \"b\""}));
  EXPECT_EQ(boxes.calls.size(), 1u);
  EXPECT_TRUE(Grid().checkConsistency());
}

TEST_F(DialogPasteTest, TextThatIsNoListIsPastedIntoTheCellsFromTheFocusCell) {
  OpenWith(2);
  Select(2, 2, 2, 2);
  Paste("8080\tnew remark", QKeySequence::Paste);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"1 10.0.0.1 8001 r1", "2 10.0.0.2 8080 new remark"}));
  EXPECT_TRUE(boxes.calls.empty());
}

}  // namespace
}  // namespace kelvanor::test
