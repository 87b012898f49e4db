#include "monitor/event_log.h"

#include <QFile>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <vector>

#include "monitor/event_file.h"

namespace kelvanor {

// Shared with the writer, so that a writer left behind at the end still has it. Only
// the writer removes lines, from the front; Append adds them at the back, which leaves
// the writer's references to earlier lines valid.
struct EventLog::Shared {
  std::filesystem::path file;
  std::uintmax_t rotateBytes;
  std::size_t maxPendingBytes;

  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::string> pending;
  std::size_t pendingBytes = 0;
  bool attemptDue = false;
  bool writing = false;
  bool failing = false;
  bool stopping = false;
  bool finished = false;
  bool ownerGone = false;
};

EventLog::EventLog(std::filesystem::path directory, std::uintmax_t rotateBytes, std::size_t maxPendingBytes)
    : shared_(std::make_shared<Shared>()) {
  // Fixed now: the working directory changes for a while when a wave file is picked.
  std::error_code error;
  const std::filesystem::path here = directory.empty() ? std::filesystem::path(".") : directory;
  const std::filesystem::path absolute = std::filesystem::absolute(here, error);
  shared_->file = ((error ? here : absolute) / kFileName).lexically_normal();
  shared_->rotateBytes = rotateBytes;
  shared_->maxPendingBytes = maxPendingBytes;
}

void EventLog::ReportFailure(Shared& shared, EventLog* owner, const QString& reason) {
  if (shared.failing || shared.ownerGone) return;
  shared.failing = true;
  emit owner->WriteFailed(reason);
}

void EventLog::Run(const std::shared_ptr<Shared>& shared, EventLog* owner) {
  std::unique_lock lock(shared->mutex);
  for (;;) {
    shared->changed.wait(lock, [&] { return shared->stopping || shared->attemptDue; });
    const bool last = shared->stopping;
    shared->attemptDue = false;
    const std::vector<const std::string*> lines = [&] {
      std::vector<const std::string*> all;
      for (const std::string& line : shared->pending) all.push_back(&line);
      return all;
    }();
    shared->writing = true;
    lock.unlock();
    const AppendOutcome outcome = AppendLines(shared->file, lines, shared->rotateBytes);
    lock.lock();
    for (std::size_t i = 0; i < outcome.written; ++i) {
      shared->pendingBytes -= shared->pending.front().size();
      shared->pending.pop_front();
    }
    if (outcome.error)
      ReportFailure(*shared, owner, QStringLiteral("事件日志写入失败：%1（%2）")
                               .arg(QFile::decodeName(shared->file.c_str()),
                                    QString::fromStdString(std::generic_category().message(outcome.error))));
    else
      shared->failing = false;
    shared->writing = false;
    shared->changed.notify_all();
    if (last) break;
  }
  shared->finished = true;
  shared->changed.notify_all();
}

void EventLog::Append(const EventRecord& record) {
  std::string line = EventLine(record);
  {
    std::lock_guard lock(shared_->mutex);
    if (shared_->pendingBytes + line.size() <= shared_->maxPendingBytes) {
      shared_->pendingBytes += line.size();
      shared_->pending.push_back(std::move(line));
    }
    shared_->attemptDue = true;
  }
  if (!thread_.joinable()) {
    try {
      thread_ = std::thread(Run, shared_, this);
    } catch (const std::system_error& error) {
      std::lock_guard lock(shared_->mutex);
      ReportFailure(*shared_, this, QStringLiteral("事件日志无法启动写入线程（%1）").arg(QString::fromStdString(error.what())));
      return;
    }
  }
  shared_->changed.notify_one();
}

bool EventLog::Idle() const {
  std::lock_guard lock(shared_->mutex);
  return !shared_->attemptDue && !shared_->writing;
}

EventLog::~EventLog() {
  if (!thread_.joinable()) return;
  std::unique_lock lock(shared_->mutex);
  shared_->stopping = true;
  shared_->changed.notify_all();
  if (shared_->changed.wait_for(lock, kQuitWait, [&] { return shared_->finished; })) {
    lock.unlock();
    thread_.join();
  } else {
    shared_->ownerGone = true;  // under the lock: the writer reports nothing from here on
    lock.unlock();
    thread_.detach();
  }
}

}  // namespace kelvanor
