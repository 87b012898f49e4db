// The event log as a spreadsheet reads it back: RFC 4180 rows after one BOM, rotation to
// one ".1" file, and a log that cannot be written for a while.
#include <QDateTime>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <system_error>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "monitor/event_file.h"
#include "monitor/event_log.h"
#include "platform/gbk.h"
#include "tests/common/csv_rows.h"
#include "tests/common/loopback.h"

namespace kelvanor::test {
namespace {

namespace fs = std::filesystem;
using testing::RowsOf;
using testing::Strings;

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// The remarks, by which the tests tell their records apart.
Strings RemarksOf(const fs::path& path) {
  Strings remarks;
  for (const Strings& row : RowsOf(path)) remarks.push_back(row.at(3));
  return remarks;
}

constexpr std::time_t kWhen = 1796738551;  // 2026-12-08T14:02:31Z
const auto kAt = std::chrono::system_clock::from_time_t(kWhen);

EventRecord Record(const std::string& remark) {
  return {kAt, "127.0.0.1", 80, remark, EventOutcome::Connected, EventOutcome::Failed, "x", 5};
}

class EventLogTest : public ::testing::Test {
 protected:
  fs::path Dir() const { return dir_.path().toStdString(); }
  fs::path Log() const { return Dir() / EventLog::kFileName; }
  // Waits until the writer has tried every record, then delivers what it reported.
  static void Settle(const EventLog& log) {
    ASSERT_TRUE(testing::WaitFor([&] { return log.Idle(); }));
    QCoreApplication::processEvents();
  }

 private:
  QTemporaryDir dir_;
};

// What a log reports, in order: each failure's reason, and "recovered".
struct Reports : QObject {
  explicit Reports(EventLog& log) {
    connect(&log, &EventLog::WriteFailed, this, [this](const QString& reason) { texts << reason; });
    connect(&log, &EventLog::WriteRecovered, this, [this] { texts << "recovered"; });
  }
  std::string Text() const { return texts.join('\n').toStdString(); }
  QStringList texts;
};

// "No space left on device" and the like, in the words of the system's language.
QString SystemReason(int error) { return QString::fromStdString(std::generic_category().message(error)); }

QString FailureOf(const fs::path& log, const QString& reason) {
  return QString::fromUtf8(u8"事件日志写入失败：%1（%2）").arg(QString::fromStdString(log.string()), reason);
}

// A file-size limit stands in for a full disk: a write stops where the limit is and
// fails from there on, as it stops where the disk is full.
class FileSizeLimit {
 public:
  FileSizeLimit() : previous_(signal(SIGXFSZ, SIG_IGN)) { getrlimit(RLIMIT_FSIZE, &unlimited_); }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &unlimited_);
    signal(SIGXFSZ, previous_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  void Set(rlim_t bytes) {
    rlimit limit = unlimited_;
    limit.rlim_cur = bytes;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  }
  void Lift() { ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &unlimited_), 0); }

 private:
  sighandler_t previous_;
  rlimit unlimited_{};
};

// Two runs, each made in the directory of setting.xml and then moved elsewhere, as a
// wave-file picker moves the working directory; neither waits before it ends.
TEST_F(EventLogTest, EveryFieldReadsBackAndASecondRunAppendsToTheSameFileWithoutAnotherBom) {
  const std::pair<EventRecord, Strings> cases[] = {
      {{kAt, "127.0.0.1", 80, "plain, comma", EventOutcome::None, EventOutcome::Connected, Gbk(u8"正常连接"), 12},
       {"127.0.0.1", "80", "plain, comma", U8(u8"未检测"), U8(u8"正常"), U8(u8"正常连接"), "12"}},
      {{kAt, Gbk(u8"主机"), 65535, Gbk(u8"机房\"主\"服务器"), EventOutcome::Connected, EventOutcome::Failed, "\"", {}},
       {U8(u8"主机"), "65535", U8(u8"机房\"主\"服务器"), U8(u8"正常"), U8(u8"异常"), "\"", ""}},
      {{kAt, "h", -5, "only\nfeed", EventOutcome::Failed, EventOutcome::None, "only\rreturn", 0},
       {"h", "-5", "only\nfeed", U8(u8"异常"), U8(u8"未检测"), "only\rreturn", "0"}},
      // An IPv6 address in its shortest form, without brackets: the port has its own column.
      {{kAt, "2001:DB8:0:0:0:0:0:1", 443, "v6", EventOutcome::Failed, EventOutcome::Connected, "", 1},
       {"2001:db8::1", "443", "v6", U8(u8"异常"), U8(u8"正常"), "", "1"}},
  };
  const fs::path previous = fs::current_path();
  fs::create_directory(Dir() / "elsewhere");
  for (int run = 0; run < 2; ++run) {
    fs::current_path(Dir());
    EventLog log;
    fs::current_path(Dir() / "elsewhere");
    for (const auto& c : cases) log.Append(c.first);
  }
  fs::current_path(previous);
  const std::vector<Strings> rows = RowsOf(Log());
  ASSERT_EQ(rows.size(), 2 * std::size(cases));
  const QString local = QDateTime::fromSecsSinceEpoch(kWhen).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const QString time = QString::fromStdString(rows[i].at(0));
    EXPECT_TRUE(QRegularExpression("^" + local + "[+-]\\d\\d:\\d\\d$").match(time).hasMatch()) << rows[i][0];
    EXPECT_EQ(QDateTime::fromString(time, Qt::ISODate).toSecsSinceEpoch(), kWhen) << rows[i][0];
    EXPECT_EQ(Strings(rows[i].begin() + 1, rows[i].end()), cases[i % std::size(cases)].second) << "row " << i;
  }
}

TEST_F(EventLogTest, AFileThatWouldGrowPastTheLimitBecomesTheOnlyDotOneFile) {
  const std::size_t line = EventLine(Record("r1")).size();
  const std::tuple<const char*, std::uintmax_t, Strings, Strings> cases[] = {
      {"two lines fill a file exactly", 3 + 2 * line, {"r3", "r4"}, {"r5"}},
      {"one byte short of two lines", 3 + 2 * line - 1, {"r4"}, {"r5"}},
      {"lines longer than the limit get a file each", 1, {"r4"}, {"r5"}},
      {"all five fit", 3 + 5 * line, {}, {"r1", "r2", "r3", "r4", "r5"}},
  };
  const fs::path older = Log().string() + ".1";
  for (const auto& [kind, limit, inOlder, inCurrent] : cases) {
    fs::remove(Log());
    fs::remove(older);
    EventLog log(Dir(), limit);
    for (const char* remark : {"r1", "r2", "r3", "r4", "r5"}) log.Append(Record(remark));
    Settle(log);
    EXPECT_EQ(RemarksOf(Log()), inCurrent) << kind;
    EXPECT_EQ(fs::exists(older) ? RemarksOf(older) : Strings{}, inOlder) << kind;
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir()), {}), inOlder.empty() ? 1 : 2) << kind;
  }
}

// Tests run as root, for whom permission bits stop nothing: the directory is a file for
// a while, later the log file is a directory. Each trouble is reported once.
TEST_F(EventLogTest, AnUnwritableLogIsReportedOnceAndEverythingIsWrittenWhenItCanBeAgain) {
  const fs::path dir = Dir() / "logs";
  std::ofstream(dir) << "not a directory";
  EventLog log(dir);
  QObject receiver;
  QStringList reports;
  QObject::connect(&log, &EventLog::WriteFailed, &receiver, [&](const QString& reason) { reports << reason; });
  const auto append = [&](const char* remark) { log.Append(Record(remark)); Settle(log); };
  for (const char* remark : {"r1", "r2", "r3"}) append(remark);
  ASSERT_EQ(reports.size(), 1);
  EXPECT_TRUE(reports[0].contains(QString::fromStdString((dir / EventLog::kFileName).string()))) << reports[0].toStdString();
  fs::remove(dir);
  fs::create_directory(dir);
  append("r4");
  EXPECT_EQ(RemarksOf(dir / EventLog::kFileName), (Strings{"r1", "r2", "r3", "r4"}));
  fs::rename(dir / EventLog::kFileName, Dir() / "kept.csv");
  fs::create_directory(dir / EventLog::kFileName);
  append("r5");
  EXPECT_EQ(reports.size(), 2);
  fs::remove(dir / EventLog::kFileName);
  append("r6");
  EXPECT_EQ(RemarksOf(dir / EventLog::kFileName), (Strings{"r5", "r6"}));
  EXPECT_EQ(reports.size(), 2);
}


// Neither a FIFO (with or without a reader) nor a device that takes nothing may hold the
// writer: each is reported once, in the system's words where it has them, and once the
// name is free the held lines go in and the log says it recovered.
TEST_F(EventLogTest, WhatIsNoFileOrTakesNothingIsReportedOnceAndTheHeldLinesFollowOnceItIsGone) {
  int reader = -1;
  const std::tuple<const char*, std::function<void(const fs::path&)>, QString> cases[] = {
      {"a FIFO nobody reads", [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); },
       QString::fromUtf8(u8"不是普通文件")},
      {"a FIFO whose reader never reads",
       [&](const fs::path& p) {
         ASSERT_EQ(mkfifo(p.c_str(), 0600), 0);
         reader = open(p.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
       },
       QString::fromUtf8(u8"不是普通文件")},
      {"a link to a full device", [](const fs::path& p) { fs::create_symlink("/dev/full", p); },
       SystemReason(ENOSPC)},
  };
  for (const auto& [kind, make, reason] : cases) {
    make(Log());
    EventLog log(Dir());
    Reports reports(log);
    for (const char* remark : {"r1", "r2"}) {
      log.Append(Record(remark));
      Settle(log);
    }
    EXPECT_EQ(reports.Text(), FailureOf(Log(), reason).toStdString()) << kind;
    fs::remove(Log());
    log.Append(Record("r3"));
    Settle(log);
    EXPECT_EQ(RemarksOf(Log()), (Strings{"r1", "r2", "r3"})) << kind;
    EXPECT_EQ(reports.Text(), FailureOf(Log(), reason).toStdString() + "\nrecovered") << kind;
    fs::remove(Log());
  }
  close(reader);
}

// The backlog of five lines meets a disk with room for two: those two go in at once,
// whole, and the rest when there is room for them.
TEST_F(EventLogTest, AfterAFullDiskTheLinesThatFitGoInAtOnceAndTheRestFollow) {
  const std::size_t line = EventLine(Record("r1")).size();
  EventLog log(Dir());
  Reports reports(log);
  FileSizeLimit disk;
  const auto append = [&](const char* remark) { log.Append(Record(remark)); Settle(log); };
  disk.Set(0);
  for (const char* remark : {"r1", "r2", "r3", "r4"}) append(remark);
  EXPECT_FALSE(fs::exists(Log()) && fs::file_size(Log()) > 0);
  disk.Set(kUtf8Bom.size() + 2 * line + line / 2);
  append("r5");
  EXPECT_EQ(RemarksOf(Log()), (Strings{"r1", "r2"}));
  EXPECT_EQ(fs::file_size(Log()), kUtf8Bom.size() + 2 * line) << "half a line was left in";
  disk.Lift();
  append("r6");
  EXPECT_EQ(RemarksOf(Log()), (Strings{"r1", "r2", "r3", "r4", "r5", "r6"}));
  EXPECT_EQ(reports.Text(), FailureOf(Log(), SystemReason(EFBIG)).toStdString() + "\nrecovered");
}

}  // namespace
}  // namespace kelvanor::test
