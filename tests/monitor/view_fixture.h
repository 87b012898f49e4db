#pragma once
// A view probing real loopback endpoints, with message boxes recorded.
#include <gtest/gtest.h>

#include "monitor/kelvanor_view.h"
#include "platform/alarm_audio.h"
#include "platform/gbk.h"
#include "tests/common/loopback.h"
#include "tests/common/loopback_dns.h"
#include "tests/common/message_box_recorder.h"

namespace kelvanor::testing {

class ViewTest : public ::testing::Test {
 protected:
  ViewTest() {
    // A missing wave file: each alarm is a quick default sound on the dummy driver.
    view->Setting().soundType = 2;
    view->Setting().soundFile = "/nonexistent/alarm.wav";
  }
  IPInfo& Add(const std::string& ip, int port) {
    view->Setting().Append(IPInfo(ip, port, ""));
    return view->Setting().ipList.back();
  }
  IPInfo& Entry(std::size_t i) { return view->Setting().ipList.at(i); }
  // Waits until no probe of the view, superseded ones included, awaits its name or its
  // outcome.
  bool WaitForOutcomes() {
    return WaitFor([&] {
      for (const IPInfo& e : view->Setting().ipList)
        if (e.socket && e.socket->AwaitingOutcome()) return false;
      return view->Setting().abandonedProbes.empty() && LookupsInFlight() == 0;
    });
  }
  std::size_t Alarms() const { return view->Alarm().Requested(); }
  // Every alarm asked for has sounded and is over.
  bool AlarmsDone() const { return view->Alarm().Idle() && !IsSoundPlaying(); }

  LoopbackDns dns;  // names nobody chose are not found
  MessageBoxRecorder boxes;
  std::unique_ptr<CKelvanorView> view = std::make_unique<CKelvanorView>();
};

}  // namespace kelvanor::testing
