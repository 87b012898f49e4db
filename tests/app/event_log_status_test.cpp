// The event log's trouble in the status bar: where 就绪 was, in the system's words and
// with its prefix once, until a line is written again.
#include <QLabel>
#include <QStatusBar>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "tests/app/shell_fixture.h"
#include "tests/common/csv_rows.h"

namespace kelvanor::test {
namespace {

namespace fs = std::filesystem;

// The log on, kelvanor-events.csv a link to a device that is always full, and one
// endpoint that refuses until the test listens on its port.
class FullEventLogTest : public ShellTest {
 protected:
  void WriteSettings() override {
    fs::create_symlink("/dev/full", "kelvanor-events.csv");
    WriteFile("<root><RefreshTime val=\"600\"/><IPInfo ip=\"127.0.0.1\" port=\"" + std::to_string(port_) +
              "\"/><Options eventLog=\"1\"/></root>");
  }
  const int port_ = testing::RefusedPort();
};

TEST_F(FullEventLogTest, StatusBarSaysWhyOnceInPlaceOfReadyUntilALineIsWritten) {
  const QLabel* idle = Frame().statusBar()->findChild<QLabel*>("idleMessage");
  ASSERT_NE(idle, nullptr);
  const QString failure = QString::fromUtf8(u8"事件日志写入失败：%1（%2）")
                              .arg(QString::fromStdString((fs::current_path() / "kelvanor-events.csv").string()),
                                   QString::fromStdString(std::generic_category().message(ENOSPC)));
  EXPECT_TRUE(testing::WaitFor([&] { return idle->text() == failure; })) << idle->text().toStdString();
  fs::remove("kelvanor-events.csv");
  testing::TcpListener server(64, port_);
  View().OnRefresh();
  EXPECT_TRUE(testing::WaitFor([&] { return idle->text() == QString::fromUtf8(u8"就绪"); })) << idle->text().toStdString();
  EXPECT_EQ(testing::RowsOf("kelvanor-events.csv").size(), 2u) << "the failure held, then the recovery";
}

}  // namespace
}  // namespace kelvanor::test
