// The settings dialog under a real X server (Xvfb), where a window can really hold the
// pointer: the test runs itself again on that display and the copy drives the dialog
// with the server's own pointer.
#include <QCoreApplication>
#include <QPushButton>
#include <QTest>

#include "tests/common/x_pointer.h"
#include "tests/common/xvfb.h"
#include "tests/settings/setting_dialog_fixture.h"

namespace kelvanor::test {
namespace {

constexpr char kOnDisplay[] = "KELVANOR_TEST_ON_XVFB";

class RealXDialogTest : public SettingDialogTest {
 protected:
  static bool OnDisplay() { return qEnvironmentVariableIsSet(kOnDisplay); }
  // Runs the current test again in a copy of this program on the display and checks that
  // it passed there.
  static void ExpectPassesOn(const testing::Xvfb& xvfb) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcessEnvironment environment = xvfb.Environment();
    environment.insert(kOnDisplay, "1");
    QProcess copy;
    copy.setProcessEnvironment(environment);
    copy.setProcessChannelMode(QProcess::MergedChannels);
    copy.start(QCoreApplication::applicationFilePath(),
               {QStringLiteral("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name())});
    ASSERT_TRUE(copy.waitForFinished(60000)) << "the copy on Xvfb did not finish";
    const QString output = QString::fromLocal8Bit(copy.readAll());
    EXPECT_TRUE(copy.exitCode() == 0 && output.contains("[  PASSED  ] 1 test")) << output.toStdString();
  }
};

TEST_F(RealXDialogTest, ATitleTipLeavesThePointerFreeSoAClickOnCancelClosesTheDialog) {
  if (!OnDisplay()) {
    testing::Xvfb xvfb;
    if (!xvfb.IsUp()) GTEST_SKIP() << xvfb.Problem();
    return ExpectPassesOn(xvfb);
  }
  setting.Append(IPInfo("10.0.0.1", 80, std::string(80, 'w')));
  QDialog& dialog = Open();
  dialog.setWindowModality(Qt::ApplicationModal);  // as the program runs it
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  testing::XPointer pointer;
  ASSERT_TRUE(pointer.IsConnected());
  GdiRect remark;
  ASSERT_TRUE(Grid().GetCellRect(1, 3, &remark));
  pointer.MoveTo(Grid().viewport()->mapToGlobal(remark.ToQRect().center()));
  const CTitleTip& tip = Grid().GetTitleTip();
  ASSERT_TRUE(testing::WaitFor([&] { return tip.isVisible(); }));
  testing::Pump(100);  // the grid saw the pointer go onto the tip: it stays
  EXPECT_TRUE(tip.isVisible());
  EXPECT_TRUE(pointer.IsFree());
  QPushButton* cancel = dialog.findChildren<QPushButton*>().value(1);
  ASSERT_EQ(cancel->text(), QStringLiteral("取消"));
  pointer.MoveTo(cancel->mapToGlobal(cancel->rect().center()));
  EXPECT_TRUE(testing::WaitFor([&] { return !tip.isVisible(); }));
  pointer.Click();
  EXPECT_TRUE(testing::WaitFor([&] { return !dialog.isVisible(); }));
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

}  // namespace
}  // namespace kelvanor::test
