// The tray icon's dot, tool tip, click and coalesced notifications, without a tray:
// what it would show is read back from the icon object itself.
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "app/tray_presence.h"

namespace kelvanor::test {
namespace {

TEST(TrayPresence, DotTakesTheWorstLastOutcomeAndRedrawsWhenItChanges) {
  const QRgb red = qRgb(255, 0, 0), grey = qRgb(192, 192, 192), green = qRgb(0, 255, 0);
  const std::tuple<int, int, int, QRgb> rows[] = {{5, 0, 0, green}, {5, 1, 3, red}, {0, 2, 0, red},
                                                  {5, 0, 3, grey},  {4, 0, 0, green}, {0, 0, 0, grey}};
  TrayPresence tray;  // one icon through all rows, as counts change over a run
  for (const auto& [connected, failed, unchecked, expected] : rows) {
    tray.SetCounts(connected, failed, unchecked);
    for (int size : {16, 32}) {
      const QImage dot = tray.Icon().pixmap(size).toImage();
      ASSERT_EQ(dot.width(), size);
      EXPECT_EQ(dot.pixel(size / 2, size / 2), expected) << connected << failed << unchecked;
      EXPECT_EQ(qAlpha(dot.pixel(0, 0)), 0);  // a round dot on nothing
    }
  }
  tray.SetCounts(182, 3, 15);
  EXPECT_EQ(tray.ToolTip(), QStringLiteral("Kelvanor\n正常 182  异常 3  未检测 15"));
}

TEST(TrayPresence, OnlyAPlainClickAsksForTheWindow) {
  TrayPresence tray;
  QSignalSpy clicked(&tray, &TrayPresence::Clicked);
  auto* icon = tray.findChild<QSystemTrayIcon*>();
  for (auto reason : {QSystemTrayIcon::Context, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::MiddleClick,
                      QSystemTrayIcon::Trigger})
    emit icon->activated(reason);
  EXPECT_EQ(clicked.count(), 1);
}

// One change names its endpoint, several are counted per kind; a cycle without changes
// stays quiet.
TEST(TrayPresence, EachCycleNotifiesOnceForWhatChangedInIt) {
  TrayPresence tray;
  const std::pair<std::string, QString> cycles[] = {  // each change: Failed, Recovered or Slow
      {"", ""},
      {"F", QStringLiteral("127.0.0.0:80 异常")},
      {"R", QStringLiteral("127.0.0.0:80 已恢复")},
      {"S", QStringLiteral("127.0.0.0:80 变慢")},
      {std::string(12, 'F'), QStringLiteral("12 个端点异常")},
      {"SFRS", QStringLiteral("1 个端点异常\n1 个端点已恢复\n2 个端点变慢")},
      {"", ""}};
  for (const auto& [changes, message] : cycles) {
    for (std::size_t i = 0; i < changes.size(); ++i)
      tray.NoteChange(changes[i] == 'F', QStringLiteral("127.0.0.%1:80").arg(i), changes[i] == 'S');
    EXPECT_EQ(tray.FlushNotifications(), message);
  }
}

}  // namespace
}  // namespace kelvanor::test
