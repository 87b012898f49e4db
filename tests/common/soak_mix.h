#pragma once
// One endpoint of every kind a monitor meets, for runs of many probe cycles: listening,
// refused, accept-then-close, silent (answered by a short connect timeout) and a name that
// the loopback name server does not know. Each cycle is run until every outcome has arrived.
#include "monitor/kelvanor_view.h"
#include "platform/gbk.h"
#include "tests/common/loopback.h"
#include "tests/common/loopback_dns.h"
#include "tests/common/message_box_recorder.h"

namespace kelvanor::testing {

class SoakMix {
 public:
  // Adds the five endpoints to the view, in this order.
  explicit SoakMix(CKelvanorView& view) : view_(view) {
    SettingData& s = view.Setting();
    s.Append(IPInfo("127.0.0.1", listening_.port(), "listening"));
    s.Append(IPInfo("127.0.0.1", RefusedPort(), "refused"));
    s.Append(IPInfo("127.0.0.1", acceptClose_.port(), "accept then close"));
    s.Append(IPInfo("127.0.0.1", silent_.port(), "silent"));
    s.Append(IPInfo("unknown.test", 80, "unresolvable"));
  }

  // One cycle, waited for until all five outcomes are in. False when one is missing or
  // not the one its endpoint gives; the counters add up what arrived.
  bool Cycle() {
    view_.RefreshStatus();
    const auto& list = view_.Setting().ipList;
    const bool arrived = WaitFor([&] {
      for (const IPInfo& entry : list)
        if (entry.state == Connecting) return false;
      // The unknown name's box comes a turn after its outcome.
      return view_.Setting().abandonedProbes.empty() && !boxes_.calls.empty();
    });
    if (!arrived) return false;
    const std::size_t listeningUp = (list[0].state == Connected) + (list[2].state == Connected);
    const bool wasRefused = list[1].state == Failed && list[1].result == Gbk(u8"连接异常");
    const bool timedOutNow = list[3].state == Failed && list[3].result == Gbk(u8"连接超时");
    const bool notFound = list[4].state == Failed && list[4].result == "Host not found.";
    connected += listeningUp;
    refused += wasRefused;
    timedOut += timedOutNow;
    unresolved += notFound;
    return listeningUp == 2 && wasRefused && timedOutNow && notFound && boxes_.calls.size() == 1;
  }

  // What each endpoint got in the last cycle, and the boxes so far: for a failed Cycle().
  std::string Described() const {
    std::string text = std::to_string(boxes_.calls.size()) + " boxes;";
    for (const IPInfo& entry : view_.Setting().ipList)
      text += " " + entry.remark + ": " + std::to_string(entry.state) + " " + GbkToUtf8(entry.result) + ";";
    return text;
  }

  std::size_t connected = 0, refused = 0, timedOut = 0, unresolved = 0;

 private:
  CKelvanorView& view_;
  ShortConnectTimeout silentTimeout_{std::chrono::milliseconds(5)};
  LoopbackDns dns_;
  MessageBoxRecorder boxes_;  // one box: the unknown name's first failure
  Acceptor listening_{Acceptor::Then::kHold};
  Acceptor acceptClose_{Acceptor::Then::kClose};
  SilentEndpoint silent_;
};

}  // namespace kelvanor::testing
