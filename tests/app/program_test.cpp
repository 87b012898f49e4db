// The real program, build/kelvanor, run as a process: under Xvfb the server's frame
// buffer shows the board's red second tile at its exact size and the first tile's green
// light where the layout puts them; and SIGTERM, SIGINT and SIGHUP end it cleanly, the way
// 文件 → 退出 does, even after alarms have sounded (the audio library would otherwise take
// the signals over), with a modal box open, with edits in the settings dialog, with the
// sound device stuck, and however many signals come.
#include <fcntl.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QThread>
#include <QtEndian>
#include <csignal>
#include <filesystem>
#include <fstream>

#include "board/light_images.h"
#include "tests/common/loopback.h"
#include "tests/common/xvfb.h"
#include "tests/settings/setting_dir.h"

namespace kelvanor::test {
namespace {

class ProgramTest : public InSettingDir {
 protected:
  // Starts the program in the test's directory on a setting.xml holding `elements`.
  void Start(const std::string& elements, const QProcessEnvironment& environment) {
    const QString kelvanor = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath("../kelvanor");
    ASSERT_TRUE(QFile::exists(kelvanor)) << "build the kelvanor target first";
    WriteFile("<root>" + elements + "</root>");
    program_.setProcessEnvironment(environment);
    program_.setWorkingDirectory(DirName());
    program_.start(kelvanor, {});
    ASSERT_TRUE(program_.waitForStarted(10000));
  }
  QString DirName() const { return QString::fromStdString(Dir().string()); }
  // No display; sound goes through SDL's disk driver into `soundFile`.
  static QProcessEnvironment Offscreen(const QString& soundFile) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("SDL_AUDIODRIVER", "disk");
    environment.insert("SDL_DISKAUDIOFILE", soundFile);
    return environment;
  }
  pid_t Pid() const { return static_cast<pid_t>(program_.processId()); }
  // Fails when the program does not end by itself within a bound, or ends other than with 0.
  void ExpectEndsWithZero(const std::string& after) {
    ASSERT_TRUE(program_.waitForFinished(20000)) << "still running after " << after;
    EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit) << after;
    EXPECT_EQ(program_.exitCode(), 0) << after << ": " << program_.readAllStandardError().right(2000).toStdString();
  }
  static std::string Endpoint(const std::string& host, int port) {
    return "<IPInfo ip=\"" + host + "\" port=\"" + std::to_string(port) + "\"/>";
  }

  QProcess program_;  // killed at the end if it is still running
};

// The screen as Xvfb keeps it in its frame buffer file: an X window dump whose header
// gives the size and line length, then 32-bit pixels laid out as QImage's RGB32.
QImage Screen(const QString& frameBuffer) {
  QFile file(frameBuffer);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray dump = file.readAll();
  if (dump.size() < 100) return {};
  const auto field = [&](int i) { return qint64{qFromBigEndian<quint32>(dump.constData() + 4 * i)}; };
  const qint64 pixels = field(0) + 12 * field(19);  // past the header and the colour map
  if (field(11) != 32 || dump.size() < pixels + field(12) * field(5)) return {};
  const auto* bits = reinterpret_cast<const uchar*>(dump.constData()) + pixels;
  return QImage(bits, int(field(4)), int(field(5)), field(12), QImage::Format_RGB32).copy();
}

// Nothing else on the screen is pure red, so these are the failed tile's bounds.
QRect RedBounds(const QImage& image) {
  QRect bounds;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == 0xFF0000) bounds |= QRect(x, y, 1, 1);
  return bounds;
}

TEST_F(ProgramTest, BoardShowsTheGreenLightAndTheRedTileWhereTheLayoutPutsThem) {
  testing::TcpListener listening;
  testing::Xvfb xvfb({"-fbdir", DirName()});
  if (!xvfb.IsUp()) GTEST_SKIP() << xvfb.Problem();
  ASSERT_NO_FATAL_FAILURE(Start("<RefreshTime val=\"600\"/><Sound val=\"0\" file=\"\"/>" +
                                    Endpoint("127.0.0.1", listening.port()) +
                                    Endpoint("127.0.0.1", testing::RefusedPort()),
                                xvfb.Environment()));

  // The second tile covers (210, 10) to (400, 120) of the view; the first one's light is at (18, 36).
  const QPoint secondTile(210, 10), firstLight(18, 36);
  const QImage light = LightImageList().Render(kLightConnected);
  QRect red;
  const bool shown = testing::WaitFor(
      [&] {
        testing::Pump(200);
        const QImage image = Screen(DirName() + "/Xvfb_screen0");
        red = RedBounds(image);
        return red.size() == QSize(191, 111) &&
               image.copy(QRect(red.topLeft() - secondTile + firstLight, light.size())) == light;
      },
      30000);
  EXPECT_TRUE(shown) << "red area " << red.width() << " x " << red.height() << ", or no green light where expected";
  EXPECT_EQ(program_.state(), QProcess::Running)
      << "kelvanor exited with " << program_.exitCode() << ", its errors:\n"
      << program_.readAllStandardError().right(4000).toStdString();
  program_.kill();  // before its display goes
  program_.waitForFinished();
}

// Each run refreshes every second with alarm kind 1 until the sound device has taken
// `seconds` of samples. The second run adds a malformed name, which fails at once without
// a query, so every cycle's walk opens an "Error." box and cycles go on inside it: after a
// second and a half of alarms the box is open.
TEST_F(ProgramTest, EachQuitSignalEndsTheProgramAfterAlarmsAndWithAModalBoxOpen) {
  const QString sound = DirName() + "/audio.raw";
  const QProcessEnvironment environment = Offscreen(sound);
  const std::string refused = Endpoint("127.0.0.1", testing::RefusedPort());
  for (const auto& [endpoints, seconds] : {std::pair{refused, 0.1}, {refused + Endpoint("a..b", 80), 1.5}}) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
      QFile::remove(sound);  // the previous run's
      ASSERT_NO_FATAL_FAILURE(Start("<RefreshTime val=\"1\"/><Sound val=\"1\" file=\"\"/>" + endpoints, environment));
      ASSERT_TRUE(testing::WaitFor([&] { return QFileInfo(sound).size() >= seconds * 44100 * 2; }, 30000))
          << "no alarm sounded";
      // A program that is gone has no pid: kill(0) would signal the whole test group.
      ASSERT_GT(Pid(), 0) << "the program ended by itself";
      ASSERT_EQ(::kill(Pid(), signal), 0);
      ASSERT_NO_FATAL_FAILURE(ExpectEndsWithZero("signal " + std::to_string(signal)));
    }
  }
}

// Whether the process has not ended yet (an ended one waiting to be reaped has).
bool Running(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat, line);
  const auto name = line.rfind(')');  // the state follows the parenthesised name
  return name != std::string::npos && name + 2 < line.size() && line[name + 2] != 'Z';
}

// The settings dialog open with an edited interval, as tests/app/driver puts it, and in
// some runs the operator's own 放弃修改？ box over it: a signal cannot answer that question,
// so it discards the edit without asking, and a second one or a burst that goes on while the
// program ends changes nothing.
TEST_F(ProgramTest, QuitSignalsDiscardAnEditedSettingsDialogWithoutAskingHoweverManyCome) {
  const QString driver =
      QDir(QCoreApplication::applicationDirPath()).absoluteFilePath("libkelvanor_settings_driver.so");
  ASSERT_TRUE(QFile::exists(driver));
  struct Run {
    bool operatorAsked;
    int signal;
    int count;  // sent 1 ms apart, as long as the program runs
  };
  for (const Run run : {Run{false, SIGTERM, 1}, {true, SIGINT, 2}, {false, SIGHUP, 200}}) {
    const std::string what = std::to_string(run.count) + " x signal " + std::to_string(run.signal);
    QProcessEnvironment environment = Offscreen(DirName() + "/audio.raw");
    environment.insert("LD_PRELOAD", driver);
    // A sanitized build's runtime would refuse to start behind a preloaded library.
    environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
    if (run.operatorAsked) environment.insert("KELVANOR_DRIVER_ESCAPE", "1");
    ASSERT_NO_FATAL_FAILURE(Start("<RefreshTime val=\"600\"/><Sound val=\"0\" file=\"\"/>", environment));
    QByteArray said;
    ASSERT_TRUE(testing::WaitFor([&] {
      said += program_.readAllStandardOutput();
      return said.contains(run.operatorAsked ? "asked" : "edited");
    }, 30000)) << "the driver said only: " << said.toStdString();
    const std::string saved = ReadFile();
    const pid_t pid = Pid();
    ASSERT_GT(pid, 0) << "the program ended by itself";
    for (int sent = 0; sent < run.count && Running(pid) && ::kill(pid, run.signal) == 0; ++sent) QThread::msleep(1);
    ASSERT_NO_FATAL_FAILURE(ExpectEndsWithZero(what));
    EXPECT_EQ(ReadFile(), saved) << what;
  }
}

// Whether a thread of the process waits to write into a full pipe, as the kernel says.
bool StuckWritingToAPipe(pid_t pid) {
  std::error_code error;
  for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
    std::string where;
    std::ifstream(task.path() / "wchan") >> where;
    if (where.find("pipe_write") != std::string::npos) return true;
  }
  return false;
}

// SDL's disk driver writing into a FIFO that is open but never read stands in for a hung
// sound server: the device's thread is stuck in a write, closing the device waits for that
// thread, and the stream it writes with still holds samples.
TEST_F(ProgramTest, AStuckSoundDeviceDoesNotHoldUpQuitting) {
  const std::string fifo = Dir() / "sound.fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  QFile reader;  // lets the device open the FIFO, then reads nothing
  ASSERT_TRUE(reader.open(open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC), QIODevice::ReadOnly,
                          QFileDevice::AutoCloseHandle));
  ASSERT_NO_FATAL_FAILURE(Start("<RefreshTime val=\"1\"/><Sound val=\"1\" file=\"\"/>" +
                                    Endpoint("127.0.0.1", testing::RefusedPort()),
                                Offscreen(QString::fromStdString(fifo))));
  ASSERT_GT(Pid(), 0) << "the program ended by itself";
  ASSERT_TRUE(testing::WaitFor([&] { return StuckWritingToAPipe(Pid()); }, 30000))
      << "the alarm's device never got stuck writing into the pipe";
  ASSERT_EQ(::kill(Pid(), SIGTERM), 0);
  ExpectEndsWithZero("SIGTERM");
}

}  // namespace
}  // namespace kelvanor::test
