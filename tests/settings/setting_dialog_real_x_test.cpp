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

using RealXDialogTest = SettingDialogTest;

TEST_F(RealXDialogTest, ATitleTipLeavesThePointerFreeSoAClickOnCancelClosesTheDialog) {
  if (!qEnvironmentVariableIsSet("KELVANOR_TEST_ON_XVFB")) {
    testing::Xvfb xvfb;
    if (!xvfb.IsUp()) GTEST_SKIP() << xvfb.Problem();
    QProcessEnvironment environment = xvfb.Environment();
    environment.insert("KELVANOR_TEST_ON_XVFB", "1");
    QProcess copy;
    copy.setProcessEnvironment(environment);
    copy.setProcessChannelMode(QProcess::MergedChannels);
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    copy.start(QCoreApplication::applicationFilePath(),
               {QStringLiteral("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name())});
    ASSERT_TRUE(copy.waitForFinished(60000)) << "the copy on Xvfb did not finish";
    const QString output = QString::fromLocal8Bit(copy.readAll());
    EXPECT_TRUE(copy.exitCode() == 0 && output.contains("[  PASSED  ] 1 test")) << output.toStdString();
    return;
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
