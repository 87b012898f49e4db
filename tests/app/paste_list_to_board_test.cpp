// End to end: 50 endpoints pasted as one list into a new settings dialog, in the three
// forms mixed, reach setting.xml byte for byte and the board tile for tile.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
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

struct Expected {
  std::string line;   // as pasted
  int port;
  std::string remark;
  std::string xmlRemark;  // as setting.xml escapes it
};

// Endpoint 0 listens; the others are refused. Every third line is in each form.
std::vector<Expected> FiftyEndpoints(int listening, int refused) {
  std::vector<Expected> list;
  const std::string port = std::to_string(refused);
  list.push_back({"127.0.0.1:" + std::to_string(listening) + " " + Gbk(u8"首个"), listening, Gbk(u8"首个"),
                  Gbk(u8"首个")});
  for (int i = 1; i < 50; ++i) {
    const std::string n = std::to_string(i);
    if (i % 3 == 1)
      list.push_back({"127.0.0.1\t" + port + "\t" + Gbk(u8"备注") + n, refused, Gbk(u8"备注") + n, Gbk(u8"备注") + n});
    else if (i % 3 == 2)
      list.push_back({"127.0.0.1," + port + ",\"a, \"\"" + n + "\"\"\"", refused, "a, \"" + n + "\"",
                      "a, &quot;" + n + "&quot;"});
    else
      list.push_back({"127.0.0.1:" + port + " r&" + n, refused, "r&" + n, "r&amp;" + n});
  }
  return list;
}

TEST_F(ShellTest, FiftyPastedEndpointsAreSavedAndShownTileForTile) {
  testing::TcpListener listener;
  const std::vector<Expected> endpoints = FiftyEndpoints(listener.port(), testing::RefusedPort());
  std::string pasted = "# exported\r\n";
  for (const Expected& e : endpoints) pasted += e.line + (e.port == listener.port() ? "\r\n\r\n" : "\r\n");
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<CSettingDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    auto* sound = static_cast<QComboBox*>(dialog->GetDlgItem(IDC_COMBO_SOUND));
    sound->showPopup();
    sound->view()->setCurrentIndex(sound->model()->index(kSoundNone, 0));
    QTest::keyClick(sound->view(), Qt::Key_Return);
    QApplication::clipboard()->setText(GbkToQString(pasted));
    QTest::keySequence(dialog->GetDlgItem(IDC_GRID), QKeySequence::Paste);
    QTest::mouseClick(dialog->GetDlgItem(kIdOk), Qt::LeftButton);
  });
  Frame().Action(ID_SETTING)->trigger();
  EXPECT_TRUE(boxes_.calls.empty());

  std::string xml = "<?xml version=\"1.0\" encoding=\"GBK\"?>\n<root>\n    <RefreshTime val=\"30\"/>\n"
                    "    <Sound val=\"0\" file=\"\"/>\n";
  for (const Expected& e : endpoints)
    xml += "    <IPInfo ip=\"127.0.0.1\" port=\"" + std::to_string(e.port) + "\" remark=\"" + e.xmlRemark + "\"/>\n";
  EXPECT_EQ(ReadFile(), xml + "</root>\n");

  ASSERT_EQ(List().size(), endpoints.size());
  const BoardTileAt tiles = TilesOf(List());
  for (std::size_t i = 0; i < endpoints.size(); ++i) {
    const BoardTile tile = tiles(i);
    EXPECT_EQ(tile.ip + ":" + std::to_string(tile.port) + " " + tile.remark,
              "127.0.0.1:" + std::to_string(endpoints[i].port) + " " + endpoints[i].remark) << i;
  }
  EXPECT_TRUE(testing::WaitFor([&] {
    return std::all_of(List().begin() + 1, List().end(), [](const IPInfo& e) { return e.state == Failed; });
  }));
  EXPECT_TRUE(FirstLightTurnsGreen());
  // The second tile is filled red.
  const QImage board = View().grab().toImage();
  const QRect second = TileRect(1, View().width()).ToQRect();
  int red = 0;
  for (int y = second.top(); y <= second.bottom(); ++y)
    for (int x = second.left(); x <= second.right(); ++x) red += (board.pixel(x, y) & 0xFFFFFF) == 0xFF0000;
  EXPECT_GT(red, second.width() * second.height() / 2);
}

}  // namespace
}  // namespace kelvanor::test
