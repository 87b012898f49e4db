// SIGTERM, SIGINT and SIGHUP end the real program cleanly, the way 文件 → 退出 does, even
// after alarms have sounded (the audio library would otherwise take the signals over) and
// with a modal box open.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <csignal>

#include "tests/common/loopback.h"
#include "tests/settings/setting_dir.h"

namespace kelvanor::test {
namespace {

class QuitSignalTest : public InSettingDir {
 protected:
  // Starts build/kelvanor on `endpoints`, alarm kind 1, refreshing every second, and
  // waits until its sound device has taken `seconds` of samples.
  void Start(const std::string& endpoints, double seconds) {
    const QString kelvanor = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath("../kelvanor");
    ASSERT_TRUE(QFileInfo::exists(kelvanor)) << "build the kelvanor target first";
    WriteFile("<root><RefreshTime val=\"1\"/><Sound val=\"1\" file=\"\"/>" + endpoints + "</root>");
    const QString dir = QString::fromStdString(Dir().string());
    QFile::remove(dir + "/audio.raw");  // a previous run's
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("SDL_AUDIODRIVER", "disk");
    environment.insert("SDL_DISKAUDIOFILE", dir + "/audio.raw");
    program_.setProcessEnvironment(environment);
    program_.setWorkingDirectory(dir);
    program_.start(kelvanor, {});
    ASSERT_TRUE(program_.waitForStarted(10000));
    const qint64 bytes = static_cast<qint64>(seconds * 44100 * 2);
    ASSERT_TRUE(testing::WaitFor([&] { return QFileInfo(dir + "/audio.raw").size() >= bytes; }, 30000))
        << "no alarm sounded";
  }
  // Sends `signal` and waits, within bounds, for the program to end by itself.
  void ExpectQuitOn(int signal) {
    // A start that failed leaves no process: kill(0) would signal the whole test group.
    const auto pid = static_cast<pid_t>(program_.processId());
    ASSERT_GT(pid, 0) << "the program did not start";
    ASSERT_EQ(::kill(pid, signal), 0);
    if (!program_.waitForFinished(20000)) {
      ADD_FAILURE() << "still running after signal " << signal;
      program_.kill();
      program_.waitForFinished();
      return;
    }
    EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit) << signal;
    EXPECT_EQ(program_.exitCode(), 0) << signal << ": " << program_.readAllStandardError().right(2000).toStdString();
  }
  static std::string Endpoint(const std::string& host, int port) {
    return "<IPInfo ip=\"" + host + "\" port=\"" + std::to_string(port) + "\"/>";
  }

  QProcess program_;  // killed at the end if it is still running
};

// The second run adds a malformed name, which fails at once without a query, so every
// cycle's walk opens an "Error." box and cycles go on inside it: after a second and a half
// of alarms the box is open.
TEST_F(QuitSignalTest, EachQuitSignalEndsTheProgramAfterAlarmsAndWithAModalBoxOpen) {
  const std::string refused = Endpoint("127.0.0.1", testing::RefusedPort());
  for (const auto& [endpoints, seconds] : {std::pair{refused, 0.1}, {refused + Endpoint("a..b", 80), 1.5}}) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
      Start(endpoints, seconds);
      ExpectQuitOn(signal);
    }
  }
}

}  // namespace
}  // namespace kelvanor::test
