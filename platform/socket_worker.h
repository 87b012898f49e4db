#pragma once
// The thread that makes the connect and close system calls of the socket layer. On
// loopback the kernel runs a whole handshake inside connect() and close(), so a cycle
// of thousands of probes would stall the UI thread for tens of milliseconds. Jobs run
// in the order they were handed in, so a close always follows the connect of the same
// descriptor and a descriptor number is reused only after all its jobs are done.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/socket_address.h"

namespace kelvanor {

class SocketWorker {
 public:
  // Called on the worker thread when connect() fails at once: (epoll data, errno).
  using ImmediateFailure = std::function<void(std::uint64_t, int)>;

  // A started connect joins epollFd, edge-triggered, for its answer and its peer's
  // hang-up, with the data it was handed in with.
  SocketWorker(int epollFd, ImmediateFailure onFailure);
  ~SocketWorker();  // finishes the queued jobs, then joins
  SocketWorker(const SocketWorker&) = delete;
  SocketWorker& operator=(const SocketWorker&) = delete;

  // Returns the job's number: the connect has been made once HasRun(number).
  std::uint64_t Connect(int fd, std::uint64_t data, const SocketAddress& address);
  bool HasRun(std::uint64_t job) const { return jobsRun_.load() >= job; }
  // Both take the socket out of the epoll set first. Done here, after the socket's
  // connect job, the removal cannot come before the connect put it in.
  void Abort(int fd);  // dissolves a pending connect, stopping the kernel's retries
  void Close(int fd);
  void Flush();        // returns once every job handed in so far is done
  // Descriptors handed to Close that are not closed yet.
  std::size_t ClosesPending() const { return closesPending_.load(); }

 private:
  struct Job {
    enum Kind { kConnect, kAbort, kClose } kind;
    int fd;
    std::uint64_t data;
    SocketAddress address;
  };
  std::uint64_t Push(const Job& job);
  void Run();
  void Execute(const Job& job);

  const int epollFd_;
  const ImmediateFailure onFailure_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::vector<Job> jobs_;
  bool busy_ = false;     // the worker is running jobs it has taken out of jobs_
  std::uint64_t jobsPushed_ = 0;
  std::atomic<std::uint64_t> jobsRun_{0};  // jobs run in order, so a count names them all
  std::atomic<std::size_t> closesPending_{0};
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace kelvanor
