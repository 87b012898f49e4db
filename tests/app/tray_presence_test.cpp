// The tray icon's dot, tool tip, click and coalesced notifications, without a tray:
// what it would show is read back from the icon object itself.
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "app/tray_presence.h"

namespace kelvanor::test {
namespace {

TEST(TrayPresence, DotTakesTheWorstLastOutcomeAndRedrawsWhenItChanges) {
  struct Row {
    int connected, failed, unchecked;
    QRgb expected;
  };
  const QRgb red = qRgb(255, 0, 0), grey = qRgb(192, 192, 192), green = qRgb(0, 255, 0);
  TrayPresence tray;  // one icon through all rows, as counts change over a run
  for (const Row& row : {Row{5, 0, 0, green}, Row{5, 1, 3, red}, Row{0, 2, 0, red}, Row{5, 0, 3, grey},
                         Row{4, 0, 0, green}, Row{0, 0, 0, grey}}) {
    tray.SetCounts(row.connected, row.failed, row.unchecked);
    for (int size : {16, 32}) {
      const QImage dot = tray.Icon().pixmap(size).toImage();
      ASSERT_EQ(dot.width(), size);
      EXPECT_EQ(dot.pixel(size / 2, size / 2), row.expected) << row.connected << row.failed << row.unchecked;
      EXPECT_EQ(qAlpha(dot.pixel(0, 0)), 0);  // a round dot on nothing
    }
  }
}

TEST(TrayPresence, ToolTipCountsEachOutcome) {
  TrayPresence tray;
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

TEST(ChangesMessage, OneChangeNamesItsEndpointSeveralAreCountedPerDirection) {
  const auto changes = [](int failed, int recovered) {
    std::vector<EndpointChange> list;
    for (int i = 0; i < failed + recovered; ++i) list.push_back({i < failed, QStringLiteral("127.0.0.%1:80").arg(i)});
    return list;
  };
  EXPECT_EQ(ChangesMessage(changes(0, 0)), "");
  EXPECT_EQ(ChangesMessage(changes(1, 0)), QStringLiteral("127.0.0.0:80 异常"));
  EXPECT_EQ(ChangesMessage(changes(0, 1)), QStringLiteral("127.0.0.0:80 已恢复"));
  EXPECT_EQ(ChangesMessage(changes(12, 0)), QStringLiteral("12 个端点异常"));
  EXPECT_EQ(ChangesMessage(changes(1, 1)), QStringLiteral("1 个端点异常\n1 个端点已恢复"));
}

TEST(TrayPresence, EachCycleNotifiesOnceForWhatChangedInIt) {
  TrayPresence tray;
  tray.NoteChange(true, "127.0.0.1:80");
  tray.NoteChange(true, "127.0.0.1:81");
  EXPECT_EQ(tray.FlushNotifications(), QStringLiteral("2 个端点异常"));
  EXPECT_EQ(tray.FlushNotifications(), "");  // a cycle without changes stays quiet
}

}  // namespace
}  // namespace kelvanor::test
