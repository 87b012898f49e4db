#pragma once
#include "app/kelvanor_app.h"
#include "monitor/kelvanor_view.h"
#include "tests/common/loopback.h"
#include "tests/common/message_box_recorder.h"
#include "tests/settings/setting_dir.h"

namespace kelvanor::test {

// The whole program, started as main starts it in a fresh directory, with message boxes
// recorded instead of shown.
class ShellTest : public InSettingDir {
 protected:
  void SetUp() override {
    InSettingDir::SetUp();
    WriteSettings();
    ASSERT_TRUE(app_.InitInstance());
  }
  // What the directory holds when the program starts: no setting.xml unless overridden.
  virtual void WriteSettings() {}

  CMainFrame& Frame() { return *app_.MainFrame(); }
  CKelvanorView& View() { return *app_.View(); }
  const std::vector<IPInfo>& List() { return View().Setting().ipList; }

  testing::MessageBoxRecorder boxes_;
  CKelvanorApp app_;
};

// Starts with a setting.xml naming one listening loopback endpoint.
class ShellWithEndpointTest : public ShellTest {
 protected:
  void WriteSettings() override {
    WriteFile("<root><RefreshTime val=\"600\"/><IPInfo ip=\"127.0.0.1\" port=\"" + std::to_string(server_.port()) +
              "\"/></root>");
  }
  testing::TcpListener server_;
};

}  // namespace kelvanor::test
