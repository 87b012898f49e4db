// The <Options> element of setting.xml: what each kind of element loads as, and that a
// set-up which never used the options saves exactly the bytes it saved before them.
#include "platform/gbk.h"
#include "settings/setting_file.h"
#include "tests/settings/setting_dir.h"

namespace kelvanor::test {
namespace {

std::string Describe(const MonitorOptions& o) {
  std::string text = std::to_string(o.failuresBeforeAlarm) + (o.recoverySound ? " sound[" : " -[") + o.recoveryFile +
                     "]" + (o.trayIcon ? " tray" : " -") + (o.notifications ? " notify" : " -") +
                     (o.eventLog ? " log" : " -") + (o.inFile ? " in-file" : " -");
  if (o.metricsPort) text += " metrics=" + std::to_string(o.metricsPort);
  if (o.slowAfter.count()) text += " slow=" + std::to_string(o.slowAfter.count());
  if (o.ipv6Names) text += " ipv6-names";
  for (const auto& [name, value] : o.unknownAttributes) text += " " + name + "=" + value;
  return text;
}

const std::string kHead = "<?xml version=\"1.0\" encoding=\"GBK\"?>\n<root>\n    <RefreshTime val=\"30\"/>\n"
                          "    <Sound val=\"1\" file=\"\"/>\n    <IPInfo ip=\"127.0.0.1\" port=\"80\" remark=\"a\"/>\n";
const std::string kTail = "</root>\n";

class OptionsFileTest : public InSettingDir {};

// Files as this version writes them: loading and saving again gives the same bytes. Options
// turned back off before any file had them leave no element.
TEST_F(OptionsFileTest, FilesThisVersionWritesLoadAsTheirOptionsAndSaveBackByteForByte) {
  const std::tuple<const char*, std::string, std::string> files[] = {  // kind, element, what loads
      {"no element, as earlier versions write", "", "1 -[] - - - -"},
      {"an element left at the defaults", "    <Options/>\n", "1 -[] - - - in-file"},
      {"two options, written after the endpoints and only because they differ from the defaults",
       "    <Options failuresBeforeAlarm=\"3\" eventLog=\"1\"/>\n", "3 -[] - - log in-file"},
      {"every option, Chinese file name, and attributes of a later version",
       "    <Options failuresBeforeAlarm=\"10\" recoverySound=\"1\" recoveryFile=\"" + Gbk(u8"/声音/恢复.wav") +
           "\" trayIcon=\"1\" notifications=\"1\" eventLog=\"1\" metricsPort=\"9464\" slowAfterMs=\"250\" ipv6Names=\"1\" zeta=\"a &amp; b\" alpha=\"\"/>\n",
       "10 sound[" + Gbk(u8"/声音/恢复.wav") + "] tray notify log in-file metrics=9464 slow=250 ipv6-names zeta=a & b alpha="},
  };
  for (const auto& [kind, options, loaded] : files) {
    SCOPED_TRACE(kind);
    WriteFile(kHead + options + kTail);
    SettingData s;
    ASSERT_EQ(LoadSetting(s), 0);
    EXPECT_EQ(Describe(s.options), loaded);
    EXPECT_EQ(s.ipList.size(), 1u);
    ASSERT_EQ(SaveSetting(s), 0);
    EXPECT_EQ(ReadFile(), kHead + options + kTail);
    s.options = {};
    ASSERT_EQ(SaveSetting(s), 0);
    EXPECT_EQ(ReadFile(), kHead + kTail);
  }
}

// Hand-edited or damaged values never stop the rest of the file from loading, and
// never switch on a sound or a file by accident.
TEST_F(OptionsFileTest, DamagedOptionsLoadAsTheNearestMeaningAndLeaveTheRestOfTheFileAlone) {
  const std::pair<std::string, std::string> elements[] = {
      {"<Options failuresBeforeAlarm=\"0\" recoverySound=\"yes\" eventLog=\"\"/>", "1 -[] - - - in-file"},
      {"<Options failuresBeforeAlarm=\"-4\" trayIcon=\"-1\"/>", "1 -[] tray - - in-file"},
      {"<Options failuresBeforeAlarm=\"99999999999\" notifications=\" 2x\"/>", "10 -[] - notify - in-file"},
      {"<Options failuresBeforeAlarm=\"7 times\">text<Options eventLog=\"1\"/></Options>", "7 -[] - - - in-file"},
      {"<Options eventLog=\"1\"/><Options trayIcon=\"1\"/>", "1 -[] tray - - in-file"},
      {"<Options metricsPort=\"65536\" eventLog=\"1\" slowAfterMs=\"99999999\"/>", "1 -[] - - log in-file slow=60000"},
  };
  for (const auto& [element, loaded] : elements) {
    WriteFile("<root><IPInfo ip=\"a\" port=\"1\"/>" + element + "<IPInfo ip=\"b\" port=\"2\"/><RefreshTime val=\"9\"/></root>");
    SettingData s;
    ASSERT_EQ(LoadSetting(s), 0) << element;
    EXPECT_EQ(Describe(s.options), loaded) << element;
    ASSERT_EQ(s.ipList.size(), 2u) << element;
    EXPECT_EQ(s.ipList[1].ip + std::to_string(s.refreshTime), "b9") << element;
  }
}

}  // namespace
}  // namespace kelvanor::test
