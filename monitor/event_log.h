#pragma once
// The event log: every change of an endpoint's outcome appended to kelvanor-events.csv.
// A thread of its own does the writing, so a slow or hung disk (a network share) never
// holds up the window; the UI thread only formats the line and queues it.
#include <QObject>
#include <QString>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <thread>

#include "monitor/event_line.h"

namespace kelvanor {

class EventLog : public QObject {
  Q_OBJECT

 public:
  static constexpr const char* kFileName = "kelvanor-events.csv";
  static constexpr std::uintmax_t kRotateBytes = 10 * 1024 * 1024;
  // Lines kept while the file cannot be written: one full file's worth. Records that
  // arrive beyond it are dropped, so the log keeps how the trouble began.
  static constexpr std::size_t kMaxPendingBytes = kRotateBytes;
  // The longest the end waits for the writer; one stuck on a hung disk is left behind
  // rather than holding up quitting.
  static constexpr std::chrono::seconds kQuitWait{1};

  // Writes to kFileName in `directory` (the working directory of the moment, beside
  // setting.xml, when empty), wherever the working directory moves later.
  explicit EventLog(std::filesystem::path directory = {}, std::uintmax_t rotateBytes = kRotateBytes,
                    std::size_t maxPendingBytes = kMaxPendingBytes);
  // Gives the writer one last try at what is still queued.
  ~EventLog() override;
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;

  // Queues the record's line and has the writer write everything queued, earlier lines
  // that failed included. Never waits for the disk.
  void Append(const EventRecord& record);
  // True when every append so far has had its attempt at the file.
  bool Idle() const;

 signals:
  // A write failed, the first time since the start or since the last write that
  // succeeded. Emitted on the writer's thread: connect it queued (across threads the
  // automatic connection is).
  void WriteFailed(const QString& reason);
  // A write succeeded after WriteFailed. Emitted like it.
  void WriteRecovered();

 private:
  struct Shared;
  static void Run(const std::shared_ptr<Shared>& shared, EventLog* owner);
  // Once per run of failures, and never once the owner is gone; called under the lock.
  static void ReportFailure(Shared& shared, EventLog* owner, const QString& reason);
  // Ends a run of failures, likewise.
  static void ReportRecovery(Shared& shared, EventLog* owner);

  std::shared_ptr<Shared> shared_;
  std::thread thread_;
};

}  // namespace kelvanor
