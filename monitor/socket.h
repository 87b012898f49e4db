#pragma once
// One probe: a non-blocking TCP connect attempt whose outcome reaches the registered
// window later as a socket notification. No data is ever sent or received.
#include <netinet/in.h>

#include <functional>
#include <string>

#include "platform/resolver.h"
#include "platform/winsock.h"

class QObject;

namespace kelvanor {

class Socket {
 public:
  // Told, on the UI thread, that a connect which Connect() reported under way could not
  // start after all (the host name did not resolve, or the start failed then); the
  // message is in errorText. The probe may be destroyed by it.
  using LateFailure = std::function<void(Socket&)>;

  Socket();
  ~Socket();  // closes the socket unless it is closed already
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  // Each returns false after formatting its failure message into errorText.
  bool Create();
  bool Select(QObject* window, unsigned message, long events);

  // No text when the connection is under way or established; otherwise errorText. A
  // host name is resolved off the UI thread first: its failure is reported through
  // lateFailure, with the same message.
  const char* Connect(const std::string& ip, int port, LateFailure lateFailure = {});

  // Closes the socket once; later calls and destruction do nothing more, so a handle
  // value reused by another probe is never closed by this one.
  void Close();

  // True while a notification or a late failure of this probe is still to come.
  bool AwaitingOutcome() const;

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
  LateFailure lateFailure_;
  bool closed_ = false;
};

// The text of the calling thread's last socket error; none for WSAEWOULDBLOCK and
// "Unknown code?" for codes outside the table. Texts are GBK and static.
const char* LastErrorText();

}  // namespace kelvanor
