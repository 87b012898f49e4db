#pragma once
// On Linux a connect to a closed local port in the ephemeral range can be given that very
// port as its source: the SYN meets itself and the socket is "connected" to itself.
// Nobody answered such a connect, so it counts as refused.
namespace kelvanor {

// True when the connected socket's own address and its peer's are the same.
bool IsConnectedToItself(int fd);

}  // namespace kelvanor
