#pragma once
// A view probing real loopback endpoints, with message boxes recorded.
#include <gtest/gtest.h>

#include <memory>

#include "monitor/kelvanor_view.h"
#include "platform/gbk.h"
#include "tests/common/loopback.h"
#include "tests/common/message_box_recorder.h"

namespace kelvanor::testing {

class ViewTest : public ::testing::Test {
 protected:
  ViewTest() {
    // A missing wave file: each alarm is a quick default sound on the dummy driver.
    view->Setting().soundType = 2;
    view->Setting().soundFile = "/nonexistent/alarm.wav";
  }

  IPInfo& Add(const std::string& ip, int port, const std::string& remark = "") {
    view->Setting().Append(IPInfo(ip, port, remark));
    return view->Setting().ipList.back();
  }
  IPInfo& Entry(std::size_t i) { return view->Setting().ipList.at(i); }

  bool WaitForState(std::size_t i, ProbeState state) {
    return WaitFor([&] { return Entry(i).state == state; });
  }
  // Waits until no probe of the view is still waiting for its outcome.
  bool WaitForOutcomes() {
    return WaitFor([&] {
      for (const IPInfo& e : view->Setting().ipList)
        if (e.socket && e.socket->AwaitingOutcome()) return false;
      return view->Setting().abandonedProbes.empty();
    });
  }
  // Runs a cycle and waits until entry i is connected and its peer's close is handled,
  // which closes the probe's socket. Returns the handle it had.
  SOCKET ConnectUntilPeerClosed(std::size_t i) {
    view->RefreshStatus();
    SOCKET handle = Entry(i).socket->handle;
    EXPECT_TRUE(WaitForState(i, Connected));
    EXPECT_TRUE(WaitFor([&] {
      FlushSocketWork();
      return !IsOpenDescriptor(handle);
    }));
    return handle;
  }
  std::size_t Alarms() const { return view->AlarmWorkers().Started(); }

  MessageBoxRecorder boxes;
  std::unique_ptr<CKelvanorView> view = std::make_unique<CKelvanorView>();
};

class ShortConnectTimeout {
 public:
  explicit ShortConnectTimeout(std::chrono::milliseconds t) { SetConnectTimeout(t); }
  ~ShortConnectTimeout() { SetConnectTimeout(kWindowsConnectTimeout); }
};

inline const std::string kHostNotFound =
    "Error - Host not found. - in [Socket::Connect() gethostbyname ]";

}  // namespace kelvanor::testing
