#include "platform/socket_address.h"

#include <arpa/inet.h>

#include <cstring>

namespace kelvanor {
namespace {

std::string Unbracketed(const std::string& text) {
  if (text.size() >= 2 && text.front() == '[' && text.back() == ']') return text.substr(1, text.size() - 2);
  return text;
}

}  // namespace

void SocketAddress::SetPort(std::uint16_t port) {
  if (Family() == AF_INET6)
    reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port = htons(port);
  else
    reinterpret_cast<sockaddr_in*>(&storage)->sin_port = htons(port);
}

std::string SocketAddress::Text() const {
  char text[INET6_ADDRSTRLEN] = "";
  const auto& v6 = reinterpret_cast<const sockaddr_in6&>(storage);
  const auto& v4 = reinterpret_cast<const sockaddr_in&>(storage);
  const void* address = Family() == AF_INET6 ? static_cast<const void*>(&v6.sin6_addr) : &v4.sin_addr;
  inet_ntop(Family(), address, text, sizeof text);
  return text;
}

SocketAddress SocketAddress::Of(const sockaddr* address) {
  SocketAddress result;
  result.length = address->sa_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
  std::memcpy(&result.storage, address, result.length);
  return result;
}

std::optional<SocketAddress> LiteralAddress(const std::string& text) {
  SocketAddress result;
  // inet_addr, not inet_pton: the short and hexadecimal forms operators have always
  // been able to write stay dotted addresses.
  if (in_addr_t v4 = inet_addr(text.c_str()); v4 != INADDR_NONE) {
    auto& in = reinterpret_cast<sockaddr_in&>(result.storage);
    in.sin_family = AF_INET;
    in.sin_addr.s_addr = v4;
    result.length = sizeof in;
    return result;
  }
  auto& in6 = reinterpret_cast<sockaddr_in6&>(result.storage);
  if (inet_pton(AF_INET6, Unbracketed(text).c_str(), &in6.sin6_addr) != 1) return std::nullopt;
  in6.sin6_family = AF_INET6;
  result.length = sizeof in6;
  return result;
}

std::string AddressText(const std::string& ip) {
  if (ip.find(':') == std::string::npos) return ip;  // the board draws thousands: keep IPv4 cheap
  in6_addr v6{};
  char text[INET6_ADDRSTRLEN];
  if (inet_pton(AF_INET6, Unbracketed(ip).c_str(), &v6) != 1 || !inet_ntop(AF_INET6, &v6, text, sizeof text)) return ip;
  return text;
}

std::string EndpointText(const std::string& ip, int port) {
  const std::string address = AddressText(ip);
  const bool v6 = address != ip || (ip.find(':') != std::string::npos && LiteralAddress(ip));
  return (v6 ? "[" + address + "]" : address) + ":" + std::to_string(port);
}

const char* FamilyName(int family) { return family == AF_INET6 ? "IPv6" : "IPv4"; }

}  // namespace kelvanor
