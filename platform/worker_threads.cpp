#include "platform/worker_threads.h"

#include <system_error>

namespace kelvanor {

bool WorkerThreads::Start(std::function<void()> job) {
  JoinFinished();
  auto done = std::make_shared<std::atomic<bool>>(false);
  try {
    std::thread thread([job = std::move(job), done] {
      job();
      done->store(true);
    });
    workers_.push_back({std::move(thread), done});
  } catch (const std::system_error&) {
    return false;
  }
  ++started_;
  return true;
}

void WorkerThreads::JoinAll() {
  for (Worker& w : workers_) w.thread.join();
  workers_.clear();
}

void WorkerThreads::JoinFinished() {
  for (auto it = workers_.begin(); it != workers_.end();) {
    if (it->done->load()) {
      it->thread.join();
      it = workers_.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace kelvanor
