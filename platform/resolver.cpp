#include "platform/resolver.h"

#include <netdb.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <deque>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/app_lifetime.h"
#include "platform/winsock.h"
#include "platform/worker_threads.h"

namespace kelvanor {
namespace {

constexpr int kMaxLookupThreads = 8;  // one slow lookup must not hold up the rest

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

// Lives on the UI thread until the application ends. Names go to the lookup threads and
// answers come back through queues under one std::mutex; an eventfd, watched on the UI
// thread, says that answers are waiting. A lookup thread touches nothing else, so a
// cancelled caller may be gone by the time its answer arrives. Lookup threads end when
// no name is left to look up.
class Resolver {
 public:
  Resolver() : wake_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    notifier_ = std::make_unique<QSocketNotifier>(wake_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { TakeAnswers(); });
  }

  ~Resolver() {
    {
      std::lock_guard lock(mutex_);
      requests_.clear();  // the threads finish the lookups they are in, then end
    }
    threads_.JoinAll();
    notifier_.reset();
    close(wake_);
  }

  ResolveId Start(const std::string& name, ResolveDone done) {
    ResolveId id = nextId_++;
    pending_.emplace(id, std::move(done));
    bool more;
    {
      std::lock_guard lock(mutex_);
      requests_.emplace_back(id, name);
      more = running_ < kMaxLookupThreads;
      if (more) ++running_;
    }
    if (more && !threads_.Start([this] { LookUpWhileAsked(); })) NoThreadStarted();
    return id;
  }

  void Cancel(ResolveId id) { pending_.erase(id); }

 private:
  void LookUpWhileAsked() {
    std::unique_lock lock(mutex_);
    while (!requests_.empty()) {
      auto [id, name] = std::move(requests_.front());
      requests_.pop_front();
      lock.unlock();
      ResolveResult result = Lookup(name);
      lock.lock();
      answers_.emplace_back(id, std::move(result));
      Wake();
    }
    --running_;
  }

  // Without a lookup thread the names still queued would never be answered: they fail
  // as a resolver that cannot answer now does.
  void NoThreadStarted() {
    std::lock_guard lock(mutex_);
    --running_;
    if (running_ > 0) return;
    for (auto& [id, name] : requests_) answers_.emplace_back(id, ResolveResult{WSATRY_AGAIN, {}, {}});
    requests_.clear();
    Wake();
  }

  void Wake() {
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(wake_, &one, sizeof one);
  }

  void TakeAnswers() {
    std::uint64_t count;
    [[maybe_unused]] ssize_t n = read(wake_, &count, sizeof count);
    std::vector<std::pair<ResolveId, ResolveResult>> answers;
    {
      std::lock_guard lock(mutex_);
      answers.assign(std::make_move_iterator(answers_.begin()), std::make_move_iterator(answers_.end()));
      answers_.clear();
    }
    for (const auto& [id, result] : answers) Finish(id, result);
  }

  void Finish(ResolveId id, const ResolveResult& result) {
    auto it = pending_.find(id);
    if (it == pending_.end()) return;
    ResolveDone done = std::move(it->second);
    pending_.erase(it);
    done(result);
  }

  const int wake_;
  std::unique_ptr<QSocketNotifier> notifier_;
  ResolveId nextId_ = 1;
  std::unordered_map<ResolveId, ResolveDone> pending_;  // UI thread only

  std::mutex mutex_;
  std::deque<std::pair<ResolveId, std::string>> requests_;
  std::deque<std::pair<ResolveId, ResolveResult>> answers_;
  int running_ = 0;  // lookup threads that have not ended yet

  WorkerThreads threads_;
};

}  // namespace

ResolveId ResolveHostAsync(const std::string& name, ResolveDone done) {
  return AppLifetime<Resolver>::Get().Start(name, std::move(done));
}

void CancelResolve(ResolveId id) {
  if (Resolver* resolver = AppLifetime<Resolver>::IfMade()) resolver->Cancel(id);
}

}  // namespace kelvanor
