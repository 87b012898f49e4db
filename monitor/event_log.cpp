#include "monitor/event_log.h"

#include <QFile>
#include <condition_variable>
#include <deque>
#include <iterator>
#include <mutex>
#include <system_error>

#include "monitor/event_file.h"

namespace kelvanor {
namespace {

QString ReasonOf(int error) {
  if (error == AppendOutcome::kNotAFile) return QStringLiteral("不是普通文件");
  return QString::fromStdString(std::generic_category().message(error));
}

}  // namespace

// Shared with the writer, so that a writer left behind at the end still has it.
struct EventLog::Shared {
  std::filesystem::path file;
  std::uintmax_t rotateBytes;
  std::size_t maxPendingBytes;

  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::string> incoming;  // lines the writer has not taken yet
  std::size_t pendingBytes = 0;      // of those and of the ones it holds unwritten
  bool attemptDue = false;
  bool writing = false;
  bool failing = false;
  bool stopping = false;
  bool finished = false;
  bool ownerGone = false;
};

EventLog::EventLog(std::filesystem::path directory, std::uintmax_t rotateBytes, std::size_t maxPendingBytes)
    : shared_(std::make_shared<Shared>()) {
  // Resolved once: a wave-file picker moves the working directory for a while.
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

void EventLog::ReportRecovery(Shared& shared, EventLog* owner) {
  if (!shared.failing || shared.ownerGone) return;
  shared.failing = false;
  emit owner->WriteRecovered();
}

void EventLog::Run(const std::shared_ptr<Shared>& shared, EventLog* owner) {
  // Taken from `incoming` under the lock, written without it: the UI thread never waits
  // for the disk, nor for a walk over lines held through a long failure.
  std::deque<std::string> held;
  std::unique_lock lock(shared->mutex);
  for (;;) {
    shared->changed.wait(lock, [&] { return shared->stopping || shared->attemptDue; });
    const bool last = shared->stopping;
    shared->attemptDue = false;
    std::move(shared->incoming.begin(), shared->incoming.end(), std::back_inserter(held));
    shared->incoming.clear();
    shared->writing = true;
    lock.unlock();
    const AppendOutcome outcome = AppendLines(shared->file, held, shared->rotateBytes);
    std::size_t written = 0;
    for (std::size_t i = 0; i < outcome.written; ++i) {
      written += held.front().size();
      held.pop_front();
    }
    lock.lock();
    shared->pendingBytes -= written;
    if (outcome.error)
      ReportFailure(*shared, owner, QStringLiteral("事件日志写入失败：%1（%2）")
                                        .arg(QFile::decodeName(shared->file.c_str()), ReasonOf(outcome.error)));
    else
      ReportRecovery(*shared, owner);
    shared->writing = false;
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
      shared_->incoming.push_back(std::move(line));
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
