// The application shell: the main window around the board, its menu, toolbar and
// commands, Qt's own texts (standard buttons, the file picker) in Chinese, and the About box.
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTranslator>
#include <sys/resource.h>

#include "app/about_dlg.h"
#include "app/command_ids.h"
#include "app/lock_keys.h"
#include "app/qt_translations.h"
#include "tests/app/shell_fixture.h"

namespace kelvanor::test {
namespace {

TEST_F(ShellTest, WithoutSettingFileStartsEmptyAndReadyUnderItsName) {
  EXPECT_EQ(QApplication::applicationName(), "Kelvanor");
  EXPECT_EQ(QApplication::desktopFileName(), "kelvanor");  // the menu entry and its icon
  EXPECT_FALSE(QApplication::windowIcon().isNull());
  EXPECT_TRUE(List().empty());
  EXPECT_EQ(Frame().windowTitle(), QString::fromUtf8(u8"Kelvanor-网络检测工具 - v1.01"));
  QStringList texts;
  for (QLabel* label : Frame().statusBar()->findChildren<QLabel*>()) texts << label->text();
  EXPECT_TRUE(texts.contains(QString::fromUtf8(u8"就绪")));
  EXPECT_TRUE(boxes_.calls.empty());
}

TEST_F(ShellTest, ToolbarHoldsSettingRefreshAndAboutWithTheirTexts) {
  EXPECT_EQ(Frame().toolBarArea(Frame().ToolBar()), Qt::TopToolBarArea);
  const QList<QAction*> buttons = Frame().ToolBar()->actions();
  ASSERT_EQ(buttons.size(), 4);
  EXPECT_TRUE(buttons[2]->isSeparator());
  EXPECT_EQ(buttons, QList({Frame().Action(ID_SETTING), Frame().Action(ID_REFRESH), buttons[2],
                            Frame().Action(ID_APP_ABOUT)}));
  // A status-bar prompt and a tooltip, split from one string-table entry. The settings
  // prompt once read "设置监控的IP端口、刷新间隔和报警提示音".
  const std::tuple<int, const char8_t*, const char8_t*> texts[] = {
      {ID_SETTING, u8"监控设置", u8"设置"},
      {ID_REFRESH, u8"刷新状态", u8"刷新"},
      {ID_APP_ABOUT, u8"显示程序信息、版本号和版权信息", u8"关于"},
      {ID_APP_EXIT, u8"退出应用程序；提示保存文档", u8"退出"},
      {ID_VIEW_TOOLBAR, u8"显示或隐藏工具栏", u8"切换工具栏"},
      {ID_VIEW_STATUS_BAR, u8"显示或隐藏状态栏", u8"切换状态栏"},
  };
  for (const auto& [command, prompt, tip] : texts) {
    EXPECT_EQ(Frame().Action(command)->statusTip(), QString::fromUtf8(prompt)) << command;
    EXPECT_EQ(Frame().Action(command)->toolTip(), QString::fromUtf8(tip)) << command;
  }
}

TEST_F(ShellTest, LockStatesComeFromTheKeyboardLeds) {
  for (auto [led, brightness] : {std::pair{"input3::capslock", "0"}, {"input7::capslock", "1"},
                                 {"input3::numlock", "0"}, {"input3::scrolllockx", "1"}}) {
    std::filesystem::create_directories(std::string("leds/") + led);
    WriteFile(brightness, (std::string("leds/") + led + "/brightness").c_str());
  }
  EXPECT_EQ(LockKeyState(LockKey::Caps, "leds"), true);  // on when any keyboard's LED is
  EXPECT_EQ(LockKeyState(LockKey::Num, "leds"), false);
  EXPECT_EQ(LockKeyState(LockKey::Scroll, "leds"), std::nullopt);  // the name must end in its suffix
  EXPECT_EQ(LockKeyState(LockKey::Caps, "none"), std::nullopt);
}

// A probe cycle holds one socket per endpoint, so the start takes all the open files allowed.
TEST_F(ShellTest, SocketLibraryStartRaisesTheFileLimitAndItsFailureStopsStartUp) {
  rlimit files{};
  getrlimit(RLIMIT_NOFILE, &files);
  const rlimit lowered{std::min<rlim_t>(64, files.rlim_max), files.rlim_max};
  setrlimit(RLIMIT_NOFILE, &lowered);
  EXPECT_EQ(StartSocketLibrary(0x0202), 0);
  getrlimit(RLIMIT_NOFILE, &files);
  EXPECT_EQ(files.rlim_cur, files.rlim_max);
  EXPECT_NE(StartSocketLibrary(0x0303), 0);
  CKelvanorApp failing([](std::uint16_t version) { return version == 0x0202 ? 10091 : 0; });
  EXPECT_FALSE(failing.InitInstance());
  ASSERT_EQ(boxes_.calls.size(), 1u);
  EXPECT_EQ(boxes_.calls[0].text, "WSAStartup filed. [CKelvanorApp::InitInstance()]");
  EXPECT_EQ(failing.MainFrame(), nullptr);
}

QMenu* FileMenu(CMainFrame& frame) { return frame.menuBar()->actions().at(0)->menu(); }

// Regression: with the toolbar hidden nothing opened the settings.
TEST_F(ShellWithEndpointTest, MenuHidesTheBarsWithCheckMarksAndTheFileMenuStillOpensTheSettingsRefreshesAndExits) {
  QStringList texts;
  for (QAction* item : FileMenu(Frame())->actions()) texts << (item->isSeparator() ? "-" : item->text());
  EXPECT_EQ(texts.join('|'), QString::fromUtf8(u8"监控设置(&S)...|刷新状态(&R)|-|退出(&X)"));
  int settingsOpened = 0;
  app_.SetEditSettings([&] { ++settingsOpened; });
  for (int command : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
    EXPECT_TRUE(Frame().Action(command)->isChecked());
    Frame().Action(command)->trigger();
    EXPECT_FALSE(Frame().Action(command)->isChecked());
  }
  EXPECT_FALSE(Frame().ToolBar()->isVisible() || Frame().statusBar()->isVisible());
  Frame().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
  ASSERT_TRUE(testing::WaitFor([&] { return List()[0].state == Connected; }));  // the first cycle is over
  QTest::keyClick(&Frame(), Qt::Key_F5);
  EXPECT_EQ(List()[0].result, ConnectingText()) << "F5 started a probe cycle";
  QTest::keyClick(&Frame(), Qt::Key_F, Qt::AltModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return FileMenu(Frame())->isVisible(); }));
  QTest::keyClick(FileMenu(Frame()), Qt::Key_S);
  EXPECT_EQ(settingsOpened, 1);
  Frame().Action(ID_APP_EXIT)->trigger();
  EXPECT_FALSE(Frame().isVisible());
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

// The About box runs its own loop; probe outcomes must still reach the view meanwhile.
TEST_F(ShellWithEndpointTest, ProbesGoOnWhileTheAboutBoxIsOpen) {
  ASSERT_EQ(List()[0].state, Connecting);
  bool connectedWhileOpen = false;
  int ticks = 0;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {  // fires only inside the box's loop
    connectedWhileOpen = List()[0].state == Connected;
    QWidget* box = QApplication::activeModalWidget();
    if (box && (connectedWhileOpen || ++ticks > 500)) box->close();
  });
  watch.start(10);
  Frame().Action(ID_APP_ABOUT)->trigger();
  EXPECT_TRUE(connectedWhileOpen);
}

// The box cannot be resized, and its items sit where its layout puts them in units of the
// box's 197 x 75: icon, product line, second line, maker, web address, OK. The web address
// is the exception: it is as wide as its text, and where that reaches OK the button and the
// box's right edge move right by as much. Clicks land on the links' texts, which start at
// the labels' left edges.
TEST(AboutBox, FixedBoxShowsTheProductLineWithItsItemsWhereTheLayoutPutsThemOpensOnlyTheWebLinkAndClosesOnOk) {
  CAboutDlg about;
  EXPECT_EQ(about.minimumSize(), about.size());
  EXPECT_EQ(about.maximumSize(), about.size());
  const QRect units[] = {{14, 14, 20, 20}, {42, 14, 114, 8}, {42, 26, 114, 8},
                         {18, 41, 89, 14}, {17, 54, 89, 14}, {140, 54, 50, 14}};
  const QList<QWidget*> items = about.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  ASSERT_EQ(items.size(), std::ssize(units));
  QLabel* web = about.Link(CAboutDlg::IDC_WEB_LINK);
  const double x = items[1]->width() / 114.0, y = about.height() / 75.0;  // the product line's units
  const double grown = about.width() - 197 * x;
  for (int i = 0; i < items.size(); ++i) {
    const QRect at = items[i]->geometry(), unit = units[i];
    EXPECT_NEAR(at.x(), unit.x() * x + (items[i] == about.OkButton() ? grown : 0), 2) << i;
    EXPECT_NEAR(at.y(), unit.y() * y, 2) << i;
    if (items[i] != web) {
      EXPECT_NEAR(at.width(), unit.width() * x, 2) << i;
    }
    EXPECT_NEAR(at.height(), unit.height() * y, 2) << i;
  }
  // Regression: the address was cut off, 221 pixels of text in a 155-pixel label.
  EXPECT_GE(web->width(), web->sizeHint().width());
  EXPECT_LT(web->geometry().right(), about.OkButton()->x());
  EXPECT_TRUE(about.rect().contains(about.OkButton()->geometry()));
  std::vector<QUrl> opened;
  const UrlOpener previous = SetUrlOpener([&](const QUrl& url) { opened.push_back(url); return true; });
  about.show();
  EXPECT_EQ(about.windowTitle(), QString::fromUtf8(u8"关于"));
  QStringList texts;
  for (QLabel* label : about.findChildren<QLabel*>()) texts << label->text();
  EXPECT_TRUE(texts.contains("ORVEX-tallowick v1.01"));
  for (QLabel* link : {about.Link(CAboutDlg::IDC_MAKER_LINK), web})
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(4, link->height() / 2));
  SetUrlOpener(previous);
  EXPECT_EQ(opened, std::vector{QUrl(CAboutDlg::WebAddress())});
  EXPECT_TRUE(about.OkButton()->isDefault());
  QTest::mouseClick(about.OkButton(), Qt::LeftButton);
  EXPECT_EQ(about.result(), QDialog::Accepted);
  EXPECT_FALSE(about.isVisible());
}

}  // namespace
}  // namespace kelvanor::test
