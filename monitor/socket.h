#pragma once
// One probe: a non-blocking TCP connect attempt whose outcome reaches the registered
// window later as a socket notification. No data is ever sent or received.
#include <netinet/in.h>

#include <cstddef>
#include <functional>
#include <string>

#include "platform/resolver.h"
#include "platform/winsock.h"

class QObject;

namespace kelvanor {

class Socket {
 public:
  // Told, on the UI thread, what the host name lookup found: true with the address set,
  // or false with the message in errorText. The probe may be destroyed by it.
  using LookedUp = std::function<void(Socket&, bool found)>;

  Socket();
  ~Socket();  // closes the socket unless it is closed already
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  // Each returns false after formatting its failure message into errorText.
  bool Create();
  bool Select(QObject* window, unsigned message, long events);

  // True when `ip` is a dotted address, which is never looked up.
  static bool IsDottedAddress(const std::string& ip);
  // Looks a host name up without blocking; `lookedUp` runs later unless the probe is
  // destroyed first. Needs no socket: one is made only once the address is known.
  void LookUp(const std::string& name, LookedUp lookedUp);
  // Probes of the whole program still waiting for their names: each wants a socket once
  // its name is found.
  static std::size_t AwaitingNames();

  // No text when the connection is under way or established; otherwise errorText. The
  // target is `ip` when dotted, else the address its LookUp found.
  const char* Connect(const std::string& ip, int port);

  // Closes the socket once; later calls and destruction do nothing more, so a handle
  // value reused by another probe is never closed by this one.
  void Close();

  // True while this probe's connect outcome is still to come.
  bool AwaitingOutcome() const;

  // The table text of the last failure formatted into errorText ("Host not found.").
  const char* FailureText() const { return failureText_; }

  char errorText[256];
  SOCKET handle = 0;
  sockaddr_in address{};
  char hostName[1025];
  int family = 0;
  int type = 0;
  int protocol = 0;
  int port = 0;

 private:
  const char* Fail(const char* where);
  const char* StartConnect();
  void OnResolved(const ResolveResult& result);

  ResolveId resolving_ = 0;
  LookedUp lookedUp_;
  const char* failureText_ = "";
  bool closed_ = false;
};

// The text of the calling thread's last socket error; none for WSAEWOULDBLOCK and
// "Unknown code?" for codes outside the table. Texts are GBK and static.
const char* LastErrorText();

}  // namespace kelvanor
