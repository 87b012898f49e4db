// The event log as a spreadsheet reads it back: RFC 4180 lines with a BOM at the start,
// rotation to one ".1" file, and a directory that cannot be written for a while.
#include <sys/wait.h>
#include <unistd.h>

#include <QDateTime>
#include <QObject>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "monitor/event_log.h"
#include "platform/gbk.h"
#include "tests/common/loopback.h"

namespace kelvanor::test {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<std::string>>;
using testing::WaitFor;

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// A strict reader: a quote may only open a field, line breaks only stand inside quotes,
// and every row ends in CRLF.
Rows ReadCsv(std::string_view text) {
  Rows rows(1);
  std::string field;
  bool quoted = false, wasQuoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c != '"') field += c;
      else if (i + 1 < text.size() && text[i + 1] == '"') field += text[++i];
      else quoted = false;
    } else if (c == '"') {
      EXPECT_TRUE(field.empty() && !wasQuoted) << "a quote inside a field at " << i;
      quoted = wasQuoted = true;
    } else if (c == ',' || (c == '\r' && text.substr(i, 2) == "\r\n")) {
      rows.back().push_back(std::exchange(field, {}));
      wasQuoted = false;
      if (c == '\r') rows.emplace_back(), ++i;
    } else {
      EXPECT_FALSE(wasQuoted) << "text after a closing quote at " << i;
      EXPECT_FALSE(c == '\r' || c == '\n') << "a line break outside quotes at " << i;
      field += c;
    }
  }
  EXPECT_TRUE(field.empty() && !quoted && rows.back().empty()) << "the last row must end in CRLF";
  rows.pop_back();
  return rows;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The rows of a log file, which must start with the one BOM it holds.
Rows RowsOf(const fs::path& path) {
  const std::string bytes = ReadFile(path);
  EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF") << path;
  EXPECT_EQ(bytes.find("\xEF\xBB\xBF", 1), std::string::npos) << path;
  return ReadCsv(std::string_view(bytes).substr(std::min<std::size_t>(3, bytes.size())));
}

// The remark fields of a log file, the one field each test tells its records by.
std::vector<std::string> RemarksOf(const fs::path& path) {
  std::vector<std::string> remarks;
  for (const auto& row : RowsOf(path)) remarks.push_back(row.size() == 8 ? row[3] : "row of " + std::to_string(row.size()));
  return remarks;
}

const auto kWhen = std::chrono::system_clock::from_time_t(1796738551);  // 2026-12-08T14:02:31Z

EventRecord Record(const std::string& remark) {
  return {kWhen, "127.0.0.1", 80, remark, EventOutcome::Connected, EventOutcome::Failed, "x", 5};
}

class EventLogTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  fs::path Dir() const { return dir_.path().toStdString(); }
  fs::path Log() const { return Dir() / EventLog::kFileName; }
  // Waits until the writer has tried every record, then delivers what it reported.
  static void Settle(const EventLog& log) {
    ASSERT_TRUE(WaitFor([&] { return log.Idle(); }));
    QCoreApplication::processEvents();
  }

 private:
  QTemporaryDir dir_;
};

TEST_F(EventLogTest, EveryFieldParsesBackFromTheFileAndASecondRunAppendsWithoutAnotherBom) {
  const struct {
    EventRecord record;
    std::vector<std::string> fields;  // all but the time
  } cases[] = {
      {{kWhen, "127.0.0.1", 80, "plain, comma", EventOutcome::None, EventOutcome::Connected, Gbk(u8"正常连接"), 12},
       {"127.0.0.1", "80", "plain, comma", U8(u8"未检测"), U8(u8"正常"), U8(u8"正常连接"), "12"}},
      {{kWhen, Gbk(u8"主机"), 65535, Gbk(u8"机房,\"主\"服务器\n二楼"), EventOutcome::Connected, EventOutcome::Failed,
        Gbk(u8"连接被拒绝，请检查"), std::nullopt},
       {U8(u8"主机"), "65535", U8(u8"机房,\"主\"服务器\n二楼"), U8(u8"正常"), U8(u8"异常"), U8(u8"连接被拒绝，请检查"), ""}},
      {{kWhen, "h", -5, "only\nfeed", EventOutcome::Failed, EventOutcome::Connected, "only\rreturn", 0},
       {"h", "-5", "only\nfeed", U8(u8"异常"), U8(u8"正常"), "only\rreturn", "0"}},
      {{kWhen, "h", 1, "", EventOutcome::Failed, EventOutcome::None, "\"", -1},
       {"h", "1", "", U8(u8"异常"), U8(u8"未检测"), "\"", "-1"}},
  };
  for (int run = 0; run < 2; ++run) {
    EventLog log(Dir());
    for (const auto& c : cases) log.Append(c.record);
  }  // no waiting: ending the log writes what it holds
  const Rows rows = RowsOf(Log());
  ASSERT_EQ(rows.size(), 2 * std::size(cases));
  const QString localTime = QDateTime::fromSecsSinceEpoch(1796738551).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    ASSERT_EQ(rows[i].size(), 8u) << "row " << i;
    const QString time = QString::fromStdString(rows[i][0]);
    EXPECT_TRUE(time.size() == 25 && time.startsWith(localTime)) << rows[i][0];
    EXPECT_EQ(QDateTime::fromString(time, Qt::ISODate).toSecsSinceEpoch(), 1796738551) << rows[i][0];
    EXPECT_EQ(std::vector<std::string>(rows[i].begin() + 1, rows[i].end()), cases[i % std::size(cases)].fields) << "row " << i;
  }
}

// The offset is the machine's own, whole hours or not, east or west of Greenwich.
TEST_F(EventLogTest, TheTimeCarriesTheLocalOffset) {
  const std::pair<const char*, std::string> zones[] = {
      {"UTC0", "2026-12-08T14:02:31+00:00"},
      {"NPT-5:45", "2026-12-08T19:47:31+05:45"},
      {"NST3:30", "2026-12-08T10:32:31-03:30"},
  };
  for (const auto& [zone, expected] : zones) {
    int pipe_ends[2];
    ASSERT_EQ(pipe(pipe_ends), 0);
    const pid_t child = fork();
    if (child == 0) {  // the zone is the process's: change it where nothing else runs
      setenv("TZ", zone, 1);
      tzset();
      const std::string stamp = LocalIsoTime(kWhen);
      _exit(write(pipe_ends[1], stamp.data(), stamp.size()) == static_cast<ssize_t>(stamp.size()) ? 0 : 1);
    }
    close(pipe_ends[1]);
    char buffer[64] = {};
    const ssize_t length = read(pipe_ends[0], buffer, sizeof buffer);
    close(pipe_ends[0]);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(std::string(buffer, length > 0 ? length : 0), expected) << zone;
  }
}

TEST_F(EventLogTest, AFileThatWouldGrowPastTheLimitBecomesTheOnlyDotOneFile) {
  const std::size_t line = EventLine(Record("r1")).size();
  const struct {
    const char* kind;
    std::uintmax_t limit;
    std::vector<std::string> older, current;
  } cases[] = {
      {"two lines fill the file exactly", 3 + 2 * line, {"r3", "r4"}, {"r5"}},
      {"one byte short of two lines", 3 + 2 * line - 1, {"r4"}, {"r5"}},
      {"lines longer than the limit get a file each", 1, {"r4"}, {"r5"}},
      {"all five fit", 3 + 5 * line, {}, {"r1", "r2", "r3", "r4", "r5"}},
  };
  for (const auto& c : cases) {
    fs::remove(Log());
    fs::remove(Log().string() + ".1");
    EventLog log(Dir(), c.limit);
    for (const char* remark : {"r1", "r2", "r3", "r4", "r5"}) log.Append(Record(remark));
    Settle(log);
    EXPECT_EQ(RemarksOf(Log()), c.current) << c.kind;
    EXPECT_EQ(fs::exists(Log().string() + ".1") ? RemarksOf(Log().string() + ".1") : std::vector<std::string>{}, c.older)
        << c.kind;
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir()), {}), c.older.empty() ? 1 : 2) << c.kind;
  }
}

// Picking a wave file moves the working directory for a while; the log stays put.
TEST_F(EventLogTest, TheDefaultLogStaysInTheWorkingDirectoryItWasMadeIn) {
  const fs::path previous = fs::current_path();
  fs::create_directory(Dir() / "elsewhere");
  fs::current_path(Dir());
  EventLog log;
  fs::current_path(Dir() / "elsewhere");
  log.Append(Record("r1"));
  Settle(log);
  fs::current_path(previous);
  EXPECT_EQ(RemarksOf(Log()), std::vector<std::string>{"r1"});
}

// Tests run as root, for whom permission bits stop nothing: the directory is a file for
// a while, and later the log file is a directory.
TEST_F(EventLogTest, AnUnwritableLogIsReportedOnceAndEverythingIsWrittenWhenItCanBeAgain) {
  const fs::path dir = Dir() / "logs";
  std::ofstream(dir) << "not a directory";
  EventLog log(dir);
  QObject receiver;
  QStringList reports;
  QObject::connect(&log, &EventLog::WriteFailed, &receiver, [&](const QString& reason) { reports << reason; });
  for (const char* remark : {"r1", "r2", "r3"}) {
    log.Append(Record(remark));
    Settle(log);
  }
  ASSERT_EQ(reports.size(), 1);
  EXPECT_TRUE(reports[0].contains(QString::fromStdString((dir / EventLog::kFileName).string()))) << reports[0].toStdString();
  fs::remove(dir);
  fs::create_directory(dir);
  log.Append(Record("r4"));
  Settle(log);
  EXPECT_EQ(RemarksOf(dir / EventLog::kFileName), (std::vector<std::string>{"r1", "r2", "r3", "r4"}));
  fs::rename(dir / EventLog::kFileName, Dir() / "kept.csv");
  fs::create_directory(dir / EventLog::kFileName);
  log.Append(Record("r5"));
  Settle(log);
  EXPECT_EQ(reports.size(), 2) << "a new failure after a success is reported again";
  fs::remove(dir / EventLog::kFileName);
  log.Append(Record("r6"));
  Settle(log);
  EXPECT_EQ(RemarksOf(dir / EventLog::kFileName), (std::vector<std::string>{"r5", "r6"}));
  EXPECT_EQ(reports.size(), 2);
}

// While the file cannot be written, the log keeps what it is allowed to hold from the
// start of the trouble and drops what comes after.
TEST_F(EventLogTest, RecordsBeyondTheHeldBytesAreDroppedWhileTheFileCannotBeWritten) {
  const fs::path dir = Dir() / "logs";
  std::ofstream(dir) << "not a directory";
  EventLog log(dir, EventLog::kRotateBytes, 2 * EventLine(Record("r1")).size());
  for (const char* remark : {"r1", "r2", "r3", "r4"}) log.Append(Record(remark));
  Settle(log);
  fs::remove(dir);
  fs::create_directory(dir);
  log.Append(Record("r5"));  // still beyond the bound, but it has the held ones written
  Settle(log);
  log.Append(Record("r6"));
  Settle(log);
  EXPECT_EQ(RemarksOf(dir / EventLog::kFileName), (std::vector<std::string>{"r1", "r2", "r6"}));
}

}  // namespace
}  // namespace kelvanor::test
