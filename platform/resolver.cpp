#include "platform/resolver.h"

#include <netdb.h>

#include <QCoreApplication>
#include <QObject>
#include <QThreadPool>
#include <cerrno>
#include <unordered_map>

#include "platform/app_lifetime.h"
#include "platform/winsock.h"

namespace kelvanor {
namespace {

ResolveResult Lookup(const std::string& name) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_CANONNAME;
  addrinfo* answer = nullptr;
  ResolveResult result;
  int rc = getaddrinfo(name.c_str(), nullptr, &hints, &answer);
  result.error = WsaCodeFromResolver(rc, errno);
  if (rc == 0) {
    result.address = reinterpret_cast<const sockaddr_in*>(answer->ai_addr)->sin_addr;
    if (answer->ai_canonname) result.canonicalName = answer->ai_canonname;
    freeaddrinfo(answer);
  }
  return result;
}

// Lives on the UI thread until the application ends; answers are queued to it, so a
// pool thread never touches anything that a cancelled caller may have destroyed.
class Resolver : public QObject {
 public:
  ResolveId Start(const std::string& name, ResolveDone done) {
    ResolveId id = nextId_++;
    pending_.emplace(id, std::move(done));
    pool_.start([this, id, name] {
      ResolveResult result = Lookup(name);
      QMetaObject::invokeMethod(this, [this, id, result] { Finish(id, result); },
                                Qt::QueuedConnection);
    });
    return id;
  }

  void Cancel(ResolveId id) { pending_.erase(id); }

  Resolver() { pool_.setMaxThreadCount(8); }  // one slow lookup must not hold up the rest
  ~Resolver() override { pool_.waitForDone(); }

 private:
  void Finish(ResolveId id, const ResolveResult& result) {
    auto it = pending_.find(id);
    if (it == pending_.end()) return;
    ResolveDone done = std::move(it->second);
    pending_.erase(it);
    done(result);
  }

  ResolveId nextId_ = 1;
  std::unordered_map<ResolveId, ResolveDone> pending_;
  QThreadPool pool_;
};


}  // namespace

ResolveId ResolveHostAsync(const std::string& name, ResolveDone done) {
  return AppLifetime<Resolver>::Get().Start(name, std::move(done));
}

void CancelResolve(ResolveId id) {
  if (Resolver* resolver = AppLifetime<Resolver>::IfMade()) resolver->Cancel(id);
}

}  // namespace kelvanor
