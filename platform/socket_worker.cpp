#include "platform/socket_worker.h"

#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace kelvanor {

SocketWorker::SocketWorker(int epollFd, ImmediateFailure onFailure)
    : epollFd_(epollFd), onFailure_(std::move(onFailure)), thread_([this] { Run(); }) {}

SocketWorker::~SocketWorker() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

std::uint64_t SocketWorker::Connect(int fd, std::uint64_t data, const SocketAddress& address) {
  return Push({Job::kConnect, fd, data, address});
}

void SocketWorker::Abort(int fd) { Push({Job::kAbort, fd, 0, {}}); }

void SocketWorker::Close(int fd) {
  ++closesPending_;
  Push({Job::kClose, fd, 0, {}});
}

void SocketWorker::Flush() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return jobs_.empty() && !busy_; });
}

std::uint64_t SocketWorker::Push(const Job& job) {
  bool wasEmpty;
  std::uint64_t number;
  {
    std::lock_guard lock(mutex_);
    wasEmpty = jobs_.empty();
    jobs_.push_back(job);
    number = ++jobsPushed_;
  }
  // The worker sleeps only on an empty queue, so one wake-up per batch is enough.
  if (wasEmpty) wake_.notify_one();
  return number;
}

void SocketWorker::Run() {
  std::vector<Job> batch;
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (jobs_.empty()) return;  // stopping, and everything handed in is done
    batch.swap(jobs_);
    busy_ = true;
    lock.unlock();
    for (const Job& job : batch) {
      Execute(job);
      ++jobsRun_;
    }
    batch.clear();
    lock.lock();
    busy_ = false;
    if (jobs_.empty()) idle_.notify_all();
  }
}

void SocketWorker::Execute(const Job& job) {
  switch (job.kind) {
    case Job::kConnect: {
      int rc = ::connect(job.fd, job.address.Get(), job.address.length);
      if (rc == 0 || errno == EINPROGRESS) {
        // Joining only now keeps an unconnected socket's hang-up out of the set. A
        // socket closed or aborted meanwhile leaves it again in its queued job.
        epoll_event ev{};
        ev.events = EPOLLOUT | EPOLLRDHUP | EPOLLET;
        ev.data.u64 = job.data;
        epoll_ctl(epollFd_, EPOLL_CTL_ADD, job.fd, &ev);
      } else {
        onFailure_(job.data, errno);
      }
      break;
    }
    case Job::kAbort: {
      epoll_ctl(epollFd_, EPOLL_CTL_DEL, job.fd, nullptr);
      sockaddr unspecified{};
      unspecified.sa_family = AF_UNSPEC;
      ::connect(job.fd, &unspecified, sizeof unspecified);
      break;
    }
    case Job::kClose:
      // Closing takes the socket out of the epoll set; a late event carries a
      // registration the layer no longer knows.
      ::close(job.fd);
      --closesPending_;
      break;
  }
}

}  // namespace kelvanor
