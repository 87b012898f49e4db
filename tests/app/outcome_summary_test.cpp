// The status bar's summary of last outcomes, and its way to the next failure.
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>

#include "app/outcome_summary.h"
#include "board/status_board.h"
#include "tests/app/shell_fixture.h"

namespace kelvanor::test {
namespace {

using testing::WaitFor;

// Sixty endpoints of a listening server, three of them with a port that cannot be probed,
// so that they fail at the cycle's start.
class SummaryTest : public ShellTest {
 protected:
  void WriteSettings() override {
    std::string xml = "<root><RefreshTime val=\"600\"/>";
    for (int i = 0; i < 60; ++i) {
      const bool fails = i == 2 || i == 30 || i == 55;
      xml += "<IPInfo ip=\"127.0.0.1\" port=\"" + std::to_string(fails ? 0 : server_.port()) + "\"/>";
    }
    WriteFile(xml + "</root>");
  }
  OutcomeSummary& Summary() { return *Frame().statusBar()->findChild<OutcomeSummary*>(); }
  static int RedPixels(QWidget& label) {
    const QImage image = label.grab().toImage();
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) red += qRed(image.pixel(x, y)) > 150 && qGreen(image.pixel(x, y)) < 60;
    return red;
  }
  testing::TcpListener server_{256};
};

TEST_F(SummaryTest, ShowsTheCountsWithFailuresInRedAndWalksToEachFailureInTurn) {
  Frame().show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
  ASSERT_TRUE(WaitFor([&] { return Summary().toolTip() == SummaryText({57, 3, 0}); }));
  EXPECT_GT(RedPixels(Summary()), 0);
  QScrollBar* bar = View().findChild<QScrollBar*>();
  const int perRow = TilesPerRow(bar->x());
  const auto rowOf = [&](int index) { return std::min(bar->maximum(), index / perRow * 120); };
  // The click goes to the failure after the top tile; Ctrl+F on from the one shown.
  QTest::mouseClick(&Summary(), Qt::LeftButton);
  EXPECT_EQ(bar->value(), rowOf(2));
  for (int failure : {30, 55, 2}) {
    QTest::keyClick(&Frame(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(bar->value(), rowOf(failure)) << failure;
  }
  OutcomeSummary none;
  none.Show({5, 0, 1});
  EXPECT_EQ(none.toolTip(), QString::fromUtf8(u8"正常 5  异常 0  未检测 1"));
  EXPECT_EQ(RedPixels(none), 0);
}

}  // namespace
}  // namespace kelvanor::test
