#pragma once
// IPv4 and IPv6 socket addresses, and the address texts operators write: a dotted IPv4
// address in any form inet_addr reads, or an IPv6 literal, bare or in brackets.
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>
#include <optional>
#include <string>

namespace kelvanor {

struct SocketAddress {
  sockaddr_storage storage{};
  socklen_t length = 0;

  int Family() const { return storage.ss_family; }
  const sockaddr* Get() const { return reinterpret_cast<const sockaddr*>(&storage); }
  void SetPort(std::uint16_t port);
  std::string Text() const;  // the address alone, IPv6 in RFC 5952 form
  static SocketAddress Of(const sockaddr* address);  // AF_INET or AF_INET6
};

// The address an address text names, without a port; none for a host name.
std::optional<SocketAddress> LiteralAddress(const std::string& text);

// The address as shown: an IPv6 literal in its RFC 5952 form, anything else as written.
std::string AddressText(const std::string& ip);
// "host:port", an IPv6 literal in brackets: "[::1]:80".
std::string EndpointText(const std::string& ip, int port);

// "IPv4" or "IPv6".
const char* FamilyName(int family);

}  // namespace kelvanor
