#include "monitor/socket.h"

#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>

namespace kelvanor {
namespace {
std::size_t awaitingNames = 0;  // probes live on the UI thread only

const ResolveResult* Found(const std::optional<ResolveResult>& answer) {
  return answer && answer->error == 0 ? &*answer : nullptr;
}

// RFC 8305's order: the families take turns, IPv6 first.
std::vector<SocketAddress> Interleaved(const ResolveResult* v6, const ResolveResult* v4) {
  std::vector<SocketAddress> order;
  const std::size_t n6 = v6 ? v6->addresses.size() : 0, n4 = v4 ? v4->addresses.size() : 0;
  for (std::size_t i = 0; i < std::max(n6, n4); ++i) {
    if (i < n6) order.push_back(v6->addresses[i]);
    if (i < n4) order.push_back(v4->addresses[i]);
  }
  return order;
}
}  // namespace

std::size_t Socket::AwaitingNames() { return awaitingNames; }

Socket::Socket() {
  errorText[0] = '\0';
  std::strcpy(hostName, "?");
}

Socket::~Socket() {
  for (NameLookup* lookup : {&v6_, &v4_})
    if (lookup->id) CancelResolve(lookup->id);
  // The probe may be freed by the report its own resolution delay makes.
  if (resolutionDelay_) {
    resolutionDelay_->stop();
    resolutionDelay_.release()->deleteLater();
  }
  if (awaitingName_) --awaitingNames;
  Close();
}

void Socket::Close() {
  if (closed_ || handle == 0 || handle == INVALID_SOCKET) return;
  closed_ = true;
  closesocket(handle);
}

bool Socket::AwaitingOutcome() const { return !closed_ && handle > 0 && IsConnectPending(handle); }

const char* Socket::Fail(const char* where) {
  const char* text = LastErrorText();
  failureText_ = text ? text : "";
  std::snprintf(errorText, sizeof errorText, "Error - %s - in [%s]", failureText_.c_str(), where);
  return errorText;
}

bool Socket::Create() {
  handle = WSASocketA(family, type, protocol);
  if (handle != INVALID_SOCKET) return true;
  Fail("Socket::Create()");
  return false;
}

bool Socket::Select(QObject* window, unsigned message, long events) {
  if (WSAAsyncSelect(handle, window, message, events) == 0) return true;
  Fail("Socket::Select()");
  return false;
}

bool Socket::AimAtLiteral(const std::string& ip) {
  const std::optional<SocketAddress> literal = LiteralAddress(ip);
  if (!literal) return false;
  addresses = {*literal};
  family = literal->Family();
  return true;
}

void Socket::LookUp(const std::string& name, AddressMode mode, LookedUp lookedUp) {
  lookedUp_ = std::move(lookedUp);
  mode_ = mode;
  awaitingName_ = true;
  ++awaitingNames;
  // Each family is asked apart: an answer for both comes only once both are in, and a
  // silent AAAA server would then hold back the A records for the whole lookup time.
  if (mode != AddressMode::V4) Ask(v6_, name, AF_INET6);
  if (mode != AddressMode::V6) Ask(v4_, name, AF_INET);
}

void Socket::Ask(NameLookup& lookup, const std::string& name, int askFamily) {
  lookup.id = ResolveHostAsync(name, askFamily, [this, &lookup](const ResolveResult& result) {
    lookup.id = 0;
    lookup.answer = result;
    if (awaitingName_)
      OnAnswer();
    else
      JoinLate(result);
  });
}

void Socket::OnAnswer() {
  const bool pending6 = mode_ != AddressMode::V4 && !v6_.answer;
  const bool pending4 = mode_ != AddressMode::V6 && !v4_.answer;
  const ResolveResult* found6 = Found(v6_.answer);
  const ResolveResult* found4 = Found(v4_.answer);
  switch (mode_) {
    case AddressMode::V4:
    case AddressMode::V6:
      if (found6 || found4) return Report(Interleaved(found6, found4));
      return ReportFailure(v6_.answer ? *v6_.answer : *v4_.answer, nullptr);
    case AddressMode::Both:
      if (pending6 || pending4) return;
      if (!found6) return ReportFailure(*v6_.answer, FamilyName(AF_INET6));
      if (!found4) return ReportFailure(*v4_.answer, FamilyName(AF_INET));
      return Report({found6->addresses.front(), found4->addresses.front()});
    case AddressMode::Auto:
      if (found6 || (found4 && !pending6)) {
        resolutionDelay_.reset();
        moreToCome_ = pending4;
        return Report(Interleaved(found6, found4));
      }
      if (found4) {
        if (resolutionDelay_) return;
        resolutionDelay_ = std::make_unique<QTimer>();
        resolutionDelay_->setSingleShot(true);
        QObject::connect(resolutionDelay_.get(), &QTimer::timeout, [this] {
          moreToCome_ = true;
          Report(Interleaved(nullptr, Found(v4_.answer)));
        });
        resolutionDelay_->start(kResolutionDelay);
        return;
      }
      if (!pending6 && !pending4) ReportFailure(*v4_.answer, nullptr);
      return;
  }
}

void Socket::Report(std::vector<SocketAddress> found) {
  awaitingName_ = false;
  --awaitingNames;
  addresses = std::move(found);
  family = addresses.front().Family();
  const ResolveResult* named = Found(v6_.answer) ? &*v6_.answer : &*v4_.answer;
  std::snprintf(hostName, sizeof hostName, "%s", named->canonicalName.c_str());
  LookedUp report = std::move(lookedUp_);
  report(*this, true);  // may destroy this probe: nothing may follow
}

void Socket::ReportFailure(const ResolveResult& failed, const char* familyName) {
  awaitingName_ = false;
  --awaitingNames;
  WSASetLastError(failed.error);
  Fail("Socket::Connect() gethostbyname ");
  if (familyName) failureText_ = std::string(familyName) + ": " + failureText_;
  LookedUp report = std::move(lookedUp_);
  report(*this, false);  // may destroy this probe: nothing may follow
}

// The other family's answer, after the connect began with the first one's addresses.
void Socket::JoinLate(const ResolveResult& answer) {
  std::vector<SocketAddress> more = answer.addresses;
  for (SocketAddress& address : more) address.SetPort(static_cast<std::uint16_t>(port));
  if (connecting_ && !closed_) WSAConnectMore(handle, more, true);
}

const char* Socket::Connect(const std::string& ip, int port) {
  if (addresses.empty()) AimAtLiteral(ip);
  this->port = port & 0xFFFF;
  for (SocketAddress& address : addresses) address.SetPort(static_cast<std::uint16_t>(this->port));
  // Both probes a name's two families apart; a literal is one address in any mode.
  eachFamily_ = mode_ == AddressMode::Both && addresses.size() == 2;
  connecting_ = true;
  const ConnectPolicy policy = eachFamily_ ? ConnectPolicy::kEvery : ConnectPolicy::kFirst;
  if (WSAConnectByList(handle, addresses, policy, moreToCome_) == 0) return nullptr;
  if (LastErrorText() == nullptr) return nullptr;  // would block: under way
  return Fail("Socket::WSAConnect() WSAConnect ");
}

std::string Socket::OutcomeText(int error) const {
  WSASetLastError(error);
  const char* text = LastErrorText();
  std::string outcome = text ? text : "";
  const std::optional<SocketAddress> decided = DecidedBy();
  if (error != 0 && eachFamily_ && decided)
    outcome = std::string(FamilyName(decided->Family())) + ": " + outcome;
  return outcome;
}

std::optional<SocketAddress> Socket::DecidedBy() const {
  if (closed_ || handle <= 0) return std::nullopt;
  return ConnectDecidedBy(handle);
}

}  // namespace kelvanor
