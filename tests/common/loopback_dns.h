#pragma once
// A DNS server on 127.0.0.1 that the program's lookups are sent to for as long as it
// lives, so no test ever asks the machine's own name server (which is off the machine).
// Each name gets the reply the test chose, or none at all.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "platform/resolver.h"

namespace kelvanor::testing {

class LoopbackDns {
 public:
  enum class Reply { kAddress, kNoSuchName, kServerFailure, kNoIpv4, kSilent };

  explicit LoopbackDns(Reply otherNames = Reply::kNoSuchName)
      : fd_(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)), otherNames_(otherNames) {
    sockaddr_in a{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t len = sizeof a;
    bind(fd_, reinterpret_cast<sockaddr*>(&a), len);
    getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Serve(); });
    // Left pointing here afterwards: a closed loopback port, never the system's server.
    SetNameServer("127.0.0.1:" + std::to_string(port_));
  }
  ~LoopbackDns() {
    notifier_.reset();
    close(fd_);
  }
  LoopbackDns(const LoopbackDns&) = delete;

  // `name` (lower case, no final dot) gets `reply`; kAddress answers with `address`.
  void Answer(const std::string& name, Reply reply, const char* address = "127.0.0.1") {
    replies_[name] = {reply, inet_addr(address)};
  }
  // Queries received for `name` (all names when empty).
  int Queries(const std::string& name = {}) const {
    if (name.empty()) return total_;
    auto it = queried_.find(name);
    return it == queried_.end() ? 0 : it->second;
  }
  int port() const { return port_; }

 private:
  struct Choice {
    Reply reply;
    in_addr_t address;
  };

  void Serve() {
    unsigned char q[512];
    sockaddr_in from{};
    socklen_t fromLen = sizeof from;
    ssize_t n = recvfrom(fd_, q, sizeof q, 0, reinterpret_cast<sockaddr*>(&from), &fromLen);
    if (n < 12) return;
    std::string name;
    std::size_t at = 12;
    while (at < static_cast<std::size_t>(n) && q[at] != 0) {
      std::size_t label = q[at++];
      if (!name.empty()) name += '.';
      for (std::size_t i = 0; i < label && at < static_cast<std::size_t>(n); ++i)
        name += static_cast<char>(std::tolower(q[at++]));
    }
    const std::size_t questionEnd = at + 5;  // the root label, type and class
    if (questionEnd > static_cast<std::size_t>(n)) return;
    ++total_;
    ++queried_[name];
    auto chosen = replies_.find(name);
    const Choice choice = chosen == replies_.end() ? Choice{otherNames_, 0} : chosen->second;
    if (choice.reply == Reply::kSilent) return;
    const bool typeA = q[at + 1] == 0 && q[at + 2] == 1;
    const bool withAddress = choice.reply == Reply::kAddress && typeA;
    const int rcode = choice.reply == Reply::kNoSuchName ? 3 : choice.reply == Reply::kServerFailure ? 2 : 0;
    unsigned char r[512];
    std::copy(q, q + questionEnd, r);
    r[2] = static_cast<unsigned char>(0x80 | (q[2] & 0x79));  // a response, opcode and RD kept
    r[3] = static_cast<unsigned char>(0x80 | rcode);          // recursion available
    r[6] = 0, r[7] = withAddress ? 1 : 0;                     // answers
    std::fill(r + 8, r + 12, 0);                              // no authority, no additional
    std::size_t len = questionEnd;
    if (withAddress) {
      const unsigned char record[] = {0xC0, 12, 0, 1, 0, 1, 0, 0, 0, 60, 0, 4};  // the name, A, IN, TTL, 4 bytes
      len = std::copy(record, record + sizeof record, r + len) - r;
      std::memcpy(r + len, &choice.address, 4);
      len += 4;
    }
    sendto(fd_, r, len, 0, reinterpret_cast<sockaddr*>(&from), fromLen);
  }

  int fd_;
  int port_ = 0;
  Reply otherNames_;
  std::map<std::string, Choice> replies_;
  std::map<std::string, int> queried_;
  int total_ = 0;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace kelvanor::testing
