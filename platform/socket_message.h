#pragma once
// A socket notification as the window receives it: the Windows message number given to
// WSAAsyncSelect, the socket handle, and the word event | error << 16.
#include <QEvent>
#include <cstdint>

#include "platform/winsock.h"

namespace kelvanor {

class SocketMessage : public QEvent {
 public:
  SocketMessage(unsigned message, SOCKET handle, std::uint32_t word)
      : QEvent(EventType()), message(message), handle(handle), word(word) {}

  static QEvent::Type EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
  }

  const unsigned message;
  const SOCKET handle;
  const std::uint32_t word;
};

inline std::uint32_t MakeSelectWord(long event, int error) {
  return (static_cast<std::uint32_t>(error) << 16) | (static_cast<std::uint32_t>(event) & 0xFFFF);
}

}  // namespace kelvanor
