#include "platform/self_connect.h"

#include <sys/socket.h>

#include <cstring>

namespace kelvanor {

bool IsConnectedToItself(int fd) {
  sockaddr_storage own{}, peer{};
  socklen_t ownLen = sizeof own, peerLen = sizeof peer;
  if (getsockname(fd, reinterpret_cast<sockaddr*>(&own), &ownLen) != 0) return false;
  if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLen) != 0) return false;
  return ownLen == peerLen && std::memcmp(&own, &peer, ownLen) == 0;
}

}  // namespace kelvanor
