#pragma once
// One probe: a non-blocking TCP connect attempt whose outcome reaches the registered
// window later as a socket notification. No data is ever sent or received.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/resolver.h"
#include "platform/socket_address.h"
#include "platform/winsock.h"

class QObject;
class QTimer;

namespace kelvanor {

// Which of a host name's address families a probe connects to. Auto races them, IPv6
// first; Both probes each apart and fails when either does. An address literal is
// probed in its own family whatever the mode.
enum class AddressMode : std::uint8_t { Auto, V4, V6, Both };

// How long Auto waits for a name's IPv6 addresses once its IPv4 ones are in (RFC 8305).
inline constexpr std::chrono::milliseconds kResolutionDelay{50};

class Socket {
 public:
  // Told, on the UI thread, what the host name lookup found: true with the addresses
  // and family set, or false with the message in errorText. The probe may be destroyed
  // by it.
  using LookedUp = std::function<void(Socket&, bool found)>;

  Socket();
  ~Socket();  // closes the socket unless it is closed already
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  // Each returns false after formatting its failure message into errorText.
  bool Create();
  bool Select(QObject* window, unsigned message, long events);

  // True when `ip` is an address literal, which is never looked up; the probe then
  // aims at it, in its family.
  bool AimAtLiteral(const std::string& ip);
  // Looks a host name up without blocking, for the families `mode` asks; `lookedUp`
  // runs later unless the probe is destroyed first. Needs no socket: one is made only
  // once an address is known. In Auto, addresses of the other family that come later
  // join the connect under way.
  void LookUp(const std::string& name, AddressMode mode, LookedUp lookedUp);
  // Probes of the whole program still waiting for their names: each wants a socket once
  // its name is found.
  static std::size_t AwaitingNames();

  // No text when the connection is under way or established; otherwise errorText. The
  // targets are those AimAtLiteral or LookUp found, else `ip` when it is a literal.
  const char* Connect(const std::string& ip, int port);

  // Closes the socket once; later calls and destruction do nothing more, so a handle
  // value reused by another probe is never closed by this one.
  void Close();

  // True while this probe's connect outcome is still to come.
  bool AwaitingOutcome() const;

  // The table text of the last failure formatted into errorText ("Host not found.").
  const char* FailureText() const { return failureText_.c_str(); }
  // The table text of a connect outcome's error; when each family is probed apart, it
  // names the family that failed ("IPv6: Connection refused."). None for success.
  std::string OutcomeText(int error) const;
  // The address whose answer decided the connect outcome, once it is in; for Both, the
  // one that failed or the last to connect.
  std::optional<SocketAddress> DecidedBy() const;

  char errorText[256];
  SOCKET handle = 0;
  std::vector<SocketAddress> addresses;  // the targets, in the order they are tried
  char hostName[1025];
  int family = 0;
  int type = 0;
  int protocol = 0;
  int port = 0;

 private:
  struct NameLookup {
    ResolveId id = 0;
    std::optional<ResolveResult> answer;
  };
  const char* Fail(const char* where);
  void Ask(NameLookup& lookup, const std::string& name, int askFamily);
  void OnAnswer();
  void Report(std::vector<SocketAddress> found);
  void ReportFailure(const ResolveResult& failed, const char* familyName);
  void JoinLate(const ResolveResult& answer);

  AddressMode mode_ = AddressMode::Auto;
  NameLookup v6_, v4_;
  std::unique_ptr<QTimer> resolutionDelay_;
  bool awaitingName_ = false;  // LookUp has not reported yet
  bool moreToCome_ = false;    // the other family's answer may still add addresses
  bool connecting_ = false;
  bool eachFamily_ = false;  // connected to each family apart, both to connect
  LookedUp lookedUp_;
  std::string failureText_;
  bool closed_ = false;
};

// The text of the calling thread's last socket error; none for WSAEWOULDBLOCK and
// "Unknown code?" for codes outside the table. Texts are GBK and static.
const char* LastErrorText();

}  // namespace kelvanor
