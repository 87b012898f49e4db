// Endpoint values a new user may type into setting.xml, taken through the real loader,
// probe cycle and board: each gives a defined outcome and none crashes.
#include "monitor/kelvanor_view.h"
#include "platform/gbk.h"
#include "settings/setting_file.h"
#include "tests/common/loopback.h"
#include "tests/common/message_box_recorder.h"
#include "tests/common/soak_mix.h"
#include "tests/settings/setting_dir.h"

namespace kelvanor::test {
namespace {

using kelvanor::testing::MessageBoxRecorder;
using kelvanor::testing::WaitFor;

class BadEndpointInput : public InSettingDir {
 protected:
  // Loads entries (the inside of "root") into the view and runs one cycle.
  void LoadAndProbe(const std::string& entries) {
    WriteFile("<?xml version=\"1.0\" encoding=\"GBK\"?>\n<root>\n    <Sound val=\"0\" file=\"\"/>\n" +
              entries + "</root>\n");
    ASSERT_EQ(LoadSetting(view->Setting()), 0);
    view->RefreshStatus();
  }
  IPInfo& Entry(std::size_t i) { return view->Setting().ipList.at(i); }
  bool Settled() {
    return WaitFor([&] {
      for (const IPInfo& e : view->Setting().ipList)
        if (e.socket && e.socket->AwaitingOutcome()) return false;
      return true;
    });
  }

  MessageBoxRecorder boxes;
  std::unique_ptr<CKelvanorView> view = std::make_unique<CKelvanorView>();
};

TEST_F(BadEndpointInput, PortsOutOfRangeAreKeptAndProbeTheirLow16Bits) {
  LoadAndProbe("    <IPInfo ip=\"127.0.0.1\" port=\"-1\" remark=\"\"/>\n"
               "    <IPInfo ip=\"127.0.0.1\" port=\"65536\" remark=\"\"/>\n"
               "    <IPInfo ip=\"127.0.0.1\" port=\"99999999999\" remark=\"\"/>\n");
  EXPECT_EQ(Entry(0).port, -1);
  EXPECT_EQ(Entry(1).port, 65536);
  EXPECT_EQ(Entry(2).port, INT32_MAX);  // beyond 32 bits: saturated
  EXPECT_EQ(Entry(0).socket->port, 65535);
  EXPECT_EQ(Entry(1).socket->port, 0);
  EXPECT_EQ(Entry(2).socket->port, 65535);
  ASSERT_TRUE(Settled());
  for (std::size_t i = 0; i < 3; ++i) EXPECT_NE(Entry(i).state, Connecting) << i;
  EXPECT_TRUE(boxes.calls.empty());
  ASSERT_EQ(SaveSetting(view->Setting()), 0);
  const std::string saved = ReadFile();
  EXPECT_NE(saved.find("port=\"-1\""), std::string::npos);
  EXPECT_NE(saved.find("port=\"65536\""), std::string::npos);
  EXPECT_NE(saved.find("port=\"2147483647\""), std::string::npos);
}

TEST_F(BadEndpointInput, HostNameOf300CharactersShowsHostNotFound) {
  const std::string name = testing::TooLongHostName();
  ASSERT_GE(name.size(), 300u);
  LoadAndProbe("    <IPInfo ip=\"" + name + "\" port=\"80\" remark=\"long\"/>\n");
  ASSERT_TRUE(WaitFor([&] { return !boxes.calls.empty(); }));
  EXPECT_EQ(boxes.calls[0].text, "Error - Host not found. - in [Socket::Connect() gethostbyname ]");
  EXPECT_EQ(Entry(0).ip, name);
  EXPECT_EQ(Entry(0).state, Connecting);
  EXPECT_STREQ(Entry(0).socket->hostName, "?");
}

TEST_F(BadEndpointInput, RemarkOf10000CharactersIsProbedPaintedAndSavedWhole) {
  testing::TcpListener listener;
  const std::string remark = Gbk(u8"很长的备注") + std::string(10000, 'r');
  LoadAndProbe("    <IPInfo ip=\"127.0.0.1\" port=\"" + std::to_string(listener.port()) + "\" remark=\"" +
               remark + "\"/>\n");
  ASSERT_TRUE(WaitFor([&] { return Entry(0).state == Connected; }));
  view->resize(800, 600);
  EXPECT_FALSE(view->grab().isNull());
  EXPECT_EQ(Entry(0).remark, remark);
  ASSERT_EQ(SaveSetting(view->Setting()), 0);
  SettingData again;
  ASSERT_EQ(LoadSetting(again), 0);
  ASSERT_EQ(again.ipList.size(), 1u);
  EXPECT_EQ(again.ipList[0].remark, remark);
}

}  // namespace
}  // namespace kelvanor::test
