// The shell without its toolbar: the 文件 menu and F5 reach the view's commands, and Qt's
// own texts (standard buttons, the file picker) are Chinese.
#include <QFileDialog>
#include <QLibraryInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTranslator>

#include "app/command_ids.h"
#include "app/qt_translations.h"
#include "tests/app/shell_fixture.h"

namespace kelvanor::test {
namespace {

QMenu* FileMenu(CMainFrame& frame) { return frame.menuBar()->actions().at(0)->menu(); }

// Regression: with the toolbar hidden nothing opened the settings.
TEST_F(ShellWithEndpointTest, WithTheToolbarHiddenTheFileMenuOpensTheSettingsAndF5Refreshes) {
  QStringList texts;
  for (QAction* item : FileMenu(Frame())->actions()) texts << (item->isSeparator() ? "-" : item->text());
  EXPECT_EQ(texts.join('|'), QString::fromUtf8(u8"监控设置(&S)...|刷新状态(&R)|-|退出(&X)"));
  int settingsOpened = 0;
  app_.SetEditSettings([&] { ++settingsOpened; });
  Frame().Action(ID_VIEW_TOOLBAR)->trigger();
  ASSERT_FALSE(Frame().ToolBar()->isVisible());
  Frame().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
  ASSERT_TRUE(testing::WaitFor([&] { return List()[0].state == Connected; }));  // the first cycle is over

  QTest::keyClick(&Frame(), Qt::Key_F5);
  EXPECT_EQ(List()[0].result, ConnectingText()) << "F5 started a probe cycle";
  QTest::keyClick(&Frame(), Qt::Key_F, Qt::AltModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return FileMenu(Frame())->isVisible(); }));
  QTest::keyClick(FileMenu(Frame()), Qt::Key_S);
  EXPECT_EQ(settingsOpened, 1);
}

TEST_F(ShellTest, QtsOwnButtonsAndPickerSpeakChineseWhileOurOwnTextsStay) {
  QMessageBox box(QMessageBox::Question, "", "", QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok);
  EXPECT_TRUE(box.button(QMessageBox::Yes)->text().startsWith(QString::fromUtf8(u8"是")));
  EXPECT_TRUE(box.button(QMessageBox::No)->text().startsWith(QString::fromUtf8(u8"否")));
  EXPECT_TRUE(box.button(QMessageBox::Ok)->text().startsWith(QString::fromUtf8(u8"确定")));
  QFileDialog picker;
  picker.setOption(QFileDialog::DontUseNativeDialog);  // as the sound picker does
  EXPECT_EQ(picker.labelText(QFileDialog::LookIn), QString::fromUtf8(u8"查找范围："));
  EXPECT_EQ(Frame().Action(ID_VIEW_TOOLBAR)->text(), QString::fromUtf8(u8"工具栏(&T)"));
}

TEST(QtChineseTexts, AFolderWithoutThemInstallsNothingAndQtStaysEnglish) {
  QTemporaryDir empty;
  QTranslator missing, present;
  EXPECT_FALSE(InstallQtChineseTexts(missing, empty.path()));
  QMessageBox box(QMessageBox::Question, "", "", QMessageBox::Yes);
  EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove('&'), "Yes");
  EXPECT_TRUE(InstallQtChineseTexts(present)) << "qt6-translations-l10n puts them under "
                                              << QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString();
}

}  // namespace
}  // namespace kelvanor::test
