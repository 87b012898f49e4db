// The whole program from the operator's side: the settings command opens the real
// dialog, and after OK the board probes the new list at once.
#include <QApplication>
#include <QTest>
#include <QTimer>

#include "app/command_ids.h"
#include "app/kelvanor_app.h"
#include "monitor/kelvanor_view.h"
#include "settings/setting_dialog.h"
#include "settings/setting_file.h"
#include "tests/common/loopback.h"
#include "tests/common/message_box_recorder.h"
#include "tests/settings/setting_dir.h"

namespace kelvanor::test {
namespace {

using EndToEndTest = InSettingDir;

bool HasPixel(const QImage& image, QRgb colour) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) return true;
  return false;
}

TEST_F(EndToEndTest, OkWithANewLoopbackEndpointMakesTheBoardShowItProbed) {
  testing::MessageBoxRecorder boxes;
  testing::TcpListener listener;
  CKelvanorApp app;
  ASSERT_TRUE(app.InitInstance());
  CKelvanorView& view = *app.View();
  ASSERT_TRUE(view.Setting().ipList.empty());

  bool driven = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<CSettingDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    QTest::mouseClick(dialog->GetDlgItem(IDC_BUTTON_ADD), Qt::LeftButton);
    auto* grid = static_cast<CGridCtrl*>(dialog->GetDlgItem(IDC_GRID));
    grid->SetItemText(1, 1, "127.0.0.1");
    grid->SetItemText(1, 2, std::to_string(listener.port()));
    auto* interval = static_cast<QLineEdit*>(dialog->GetDlgItem(IDC_EDIT_REFRESH));
    interval->setText("600");
    driven = true;
    QTest::mouseClick(dialog->GetDlgItem(kIdOk), Qt::LeftButton);
  });
  app.MainFrame()->Action(ID_SETTING)->trigger();

  ASSERT_TRUE(driven);
  EXPECT_TRUE(boxes.calls.empty());
  ASSERT_EQ(view.Setting().ipList.size(), 1u);
  EXPECT_EQ(view.Setting().refreshTime, 600);
  EXPECT_TRUE(view.Timers().IsActive(kRefreshTimerId));
  ASSERT_TRUE(testing::WaitFor([&] { return view.Setting().ipList[0].state == Connected; }));
  testing::Pump(50);
  EXPECT_TRUE(HasPixel(view.grab().toImage(), qRgb(0, 255, 0)));  // the green light

  SettingData saved;
  ASSERT_EQ(LoadSetting(saved), 0);
  ASSERT_EQ(saved.ipList.size(), 1u);
  EXPECT_EQ(saved.ipList[0].port, listener.port());
}

TEST_F(EndToEndTest, CancelLeavesTheListTheTimerAndTheFileAlone) {
  testing::MessageBoxRecorder boxes;
  CKelvanorApp app;
  ASSERT_TRUE(app.InitInstance());
  QTimer::singleShot(0, [] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    QTest::keyClick(dialog, Qt::Key_Escape);
  });
  app.MainFrame()->Action(ID_SETTING)->trigger();
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_TRUE(app.View()->Setting().ipList.empty());
  EXPECT_FALSE(std::filesystem::exists("setting.xml"));
}

}  // namespace
}  // namespace kelvanor::test
