#pragma once
// Short-lived threads that nobody waits for while they run, yet none outlives its owner:
// finished ones are joined when the next one starts, the rest when the owner ends.
#include <atomic>
#include <cstddef>
#include <functional>
#include <list>
#include <memory>
#include <thread>

namespace kelvanor {

class WorkerThreads {
 public:
  WorkerThreads() = default;
  ~WorkerThreads() { JoinAll(); }
  WorkerThreads(const WorkerThreads&) = delete;
  WorkerThreads& operator=(const WorkerThreads&) = delete;

  // Starts `job` on a thread of its own; false when the system cannot make one.
  bool Start(std::function<void()> job);
  void JoinAll();
  std::size_t Started() const { return started_; }

 private:
  struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };
  void JoinFinished();

  std::list<Worker> workers_;
  std::size_t started_ = 0;
};

}  // namespace kelvanor
