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
  // kAddress answers an A query with 127.0.0.1 and an AAAA query with ::1; kNoData
  // answers with no record.
  enum class Reply { kAddress, kNoSuchName, kServerFailure, kNoData, kSilent };

  explicit LoopbackDns(Reply otherNames = Reply::kNoSuchName)
      : fd_(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)), otherNames_(otherNames) {
    sockaddr_in a{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t len = sizeof a;
    bind(fd_, reinterpret_cast<sockaddr*>(&a), len);
    getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Serve(); });
    // Left pointing here afterwards: a closed loopback port, never the system's server.
    SetNameServer("127.0.0.1:" + std::to_string(ntohs(a.sin_port)));
  }
  ~LoopbackDns() {
    notifier_.reset();
    close(fd_);
  }
  LoopbackDns(const LoopbackDns&) = delete;

  // `name` (lower case, no final dot) gets `reply` to an A query; an AAAA query gets no
  // record, as for a name of an IPv4-only host, unless the reply is a failure.
  void Answer(const std::string& name, Reply reply) {
    Answer(name, reply, reply == Reply::kAddress ? Reply::kNoData : reply);
  }
  void Answer(const std::string& name, Reply a, Reply aaaa) { replies_[name] = {a, aaaa}; }
  // Answers now every query received so far, as the loop would on its next turns: the
  // replies then reach the program together.
  void AnswerWaiting() {
    while (Serve()) {
    }
  }
  // Queries received for `name` (all names when empty).
  int Queries(const std::string& name = {}) const {
    int count = 0;
    for (const auto& [queried, times] : queried_) count += name.empty() || name == queried ? times : 0;
    return count;
  }

 private:
  // Turns the query into its reply in place: the header and question stay, the answer
  // (if any) follows the question, and whatever came after the question is dropped.
  // False when no query was waiting.
  bool Serve() {
    unsigned char m[512];
    sockaddr_in from{};
    socklen_t fromLen = sizeof from;
    const ssize_t n = recvfrom(fd_, m, sizeof m - 32, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &fromLen);
    if (n < 0) return false;
    std::string name;
    ssize_t at = 12;  // the question's labels, after the header
    for (; at < n && m[at] != 0; at += m[at] + 1) {
      if (!name.empty()) name += '.';
      name.append(reinterpret_cast<char*>(m + at + 1), std::min<ssize_t>(m[at], n - at - 1));
    }
    if (at + 5 > n) return true;  // no whole question: the root label, type and class
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    ++queried_[name];
    const auto chosen = replies_.find(name);
    const bool aaaa = m[at + 1] == 0 && m[at + 2] == 28;
    const Reply reply = chosen == replies_.end() ? otherNames_ : aaaa ? chosen->second.second : chosen->second.first;
    if (reply == Reply::kSilent) return true;
    const bool withAddress = reply == Reply::kAddress && m[at + 1] == 0 && (m[at + 2] == 1 || aaaa);
    m[2] = static_cast<unsigned char>(0x80 | (m[2] & 0x79));  // a response, opcode and RD kept
    m[3] = 0x80 | (reply == Reply::kNoSuchName ? 3 : reply == Reply::kServerFailure ? 2 : 0);  // recursion available
    std::fill(m + 6, m + 12, 0);  // no authority, no additional
    m[7] = withAddress;           // answers
    std::size_t len = at + 5;
    if (withAddress) {
      // The name, A or AAAA, IN, TTL, the address's length.
      const unsigned char type = aaaa ? 28 : 1, size = aaaa ? 16 : 4;
      const unsigned char record[] = {0xC0, 12, 0, type, 0, 1, 0, 0, 0, 60, 0, size};
      const in_addr_t v4 = htonl(INADDR_LOOPBACK);
      std::memcpy(m + len, record, sizeof record);
      std::memcpy(m + len + sizeof record, aaaa ? static_cast<const void*>(&in6addr_loopback) : &v4, size);
      len += sizeof record + size;
    }
    sendto(fd_, m, len, 0, reinterpret_cast<sockaddr*>(&from), fromLen);
    return true;
  }

  int fd_;
  Reply otherNames_;
  std::map<std::string, std::pair<Reply, Reply>> replies_;  // to A, to AAAA
  std::map<std::string, int> queried_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace kelvanor::testing
