// End to end: 50 endpoints pasted as one list into a new settings dialog, in the three
// forms mixed, reach setting.xml byte for byte and the board tile for tile, and the new
// interval restarts the refresh timer.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QTimer>

#include "app/command_ids.h"
#include "board/status_board.h"
#include "platform/gbk.h"
#include "settings/setting_dialog.h"
#include "tests/app/shell_fixture.h"

namespace kelvanor::test {
namespace {

// A line as pasted, the port and remark it gives, and the remark as setting.xml escapes it.
struct Expected {
  std::string line, port, remark, xmlRemark;
};

// Endpoint 0 listens and the others are refused; the lines take the three forms in turn.
std::vector<Expected> FiftyEndpoints(int listening, int refused) {
  std::vector<Expected> list;
  for (int i = 0; i < 50; ++i) {
    const std::string n = std::to_string(i), port = std::to_string(i ? refused : listening), gbk = Gbk(u8"备注") + n;
    const Expected forms[] = {{"127.0.0.1:" + port + " r&" + n, port, "r&" + n, "r&amp;" + n},
                              {"127.0.0.1\t" + port + "\t" + gbk, port, gbk, gbk},
                              {"127.0.0.1," + port + ",\"a, \"\"" + n + "\"\"\"", port, "a, \"" + n + "\"",
                               "a, &quot;" + n + "&quot;"}};
    list.push_back(forms[i % 3]);
  }
  return list;
}

TEST_F(ShellTest, FiftyPastedEndpointsAreSavedAndShownTileForTile) {
  testing::TcpListener listener;
  const std::vector<Expected> endpoints = FiftyEndpoints(listener.port(), testing::RefusedPort());
  std::string pasted = "# exported\r\n\r\n";
  for (const Expected& e : endpoints) pasted += e.line + "\r\n";
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<CSettingDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    auto* sound = static_cast<QComboBox*>(dialog->GetDlgItem(IDC_COMBO_SOUND));
    sound->showPopup();
    sound->view()->setCurrentIndex(sound->model()->index(kSoundNone, 0));
    QTest::keyClick(sound->view(), Qt::Key_Return);
    static_cast<QLineEdit*>(dialog->GetDlgItem(IDC_EDIT_REFRESH))->setText("600");
    QApplication::clipboard()->setText(GbkToQString(pasted));
    QTest::keySequence(dialog->GetDlgItem(IDC_GRID), QKeySequence::Paste);
    QTest::mouseClick(dialog->GetDlgItem(kIdOk), Qt::LeftButton);
  });
  Frame().Action(ID_SETTING)->trigger();
  EXPECT_TRUE(boxes_.calls.empty());

  std::string xml = "<?xml version=\"1.0\" encoding=\"GBK\"?>\n<root>\n    <RefreshTime val=\"600\"/>\n"
                    "    <Sound val=\"0\" file=\"\"/>\n";
  for (const Expected& e : endpoints)
    xml += "    <IPInfo ip=\"127.0.0.1\" port=\"" + e.port + "\" remark=\"" + e.xmlRemark + "\"/>\n";
  EXPECT_EQ(ReadFile(), xml + "</root>\n");

  ASSERT_EQ(List().size(), endpoints.size());
  const BoardTileAt tiles = TilesOf(List());
  for (std::size_t i = 0; i < endpoints.size(); ++i) {
    const BoardTile tile = tiles(i);
    EXPECT_EQ(tile.ip + ":" + std::to_string(tile.port) + " " + tile.remark,
              "127.0.0.1:" + endpoints[i].port + " " + endpoints[i].remark) << i;
  }
  const auto timers = QAbstractEventDispatcher::instance()->registeredTimers(&View());
  EXPECT_TRUE(std::ranges::any_of(timers, [](const auto& timer) { return timer.interval == 600000; }));
  // The first tile's light turns green.
  EXPECT_TRUE(testing::WaitFor([&] { return View().grab().toImage().pixel(25, 43) == qRgb(0, 255, 0); }));
  EXPECT_TRUE(testing::WaitFor([&] {
    return std::all_of(List().begin() + 1, List().end(), [](const IPInfo& e) { return e.state == Failed; });
  }));
}

}  // namespace
}  // namespace kelvanor::test
