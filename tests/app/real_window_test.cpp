// The real program in a real X window: under Xvfb, build/kelvanor runs in a directory
// whose setting.xml lists one listening and one refusing loopback endpoint, and a
// screenshot of the display must show a green light and a red tile.
//
// The screenshot is taken by this test binary itself, started again on the Xvfb display
// with only the ScreenCapture case, since this process is bound to the offscreen
// platform.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <unistd.h>

#include "tests/common/loopback.h"
#include "tests/settings/setting_dir.h"

namespace kelvanor::test {
namespace {

constexpr char kGrabTarget[] = "KELVANOR_GRAB_TO";

// Only when started by the real-window check: saves the whole screen.
TEST(ScreenCapture, SavesTheDisplay) {
  const QString target = qEnvironmentVariable(kGrabTarget);
  if (target.isEmpty()) GTEST_SKIP() << "runs only inside the real-window check";
  QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  ASSERT_TRUE(screen->grabWindow(0).save(target, "PNG"));
}

int CountPixels(const QImage& image, QRgb colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
  return count;
}

class RealWindowTest : public InSettingDir {
 protected:
  void TearDown() override {
    for (QProcess* process : {&program_, &xvfb_}) {
      process->terminate();
      if (!process->waitForFinished(5000)) process->kill();
      process->waitForFinished(5000);
    }
    InSettingDir::TearDown();
  }

  // Starts Xvfb on a free display number; false when it does not come up. A server
  // that has not answered in time is stopped before the next number is tried.
  bool StartXvfb(const QString& xvfb) {
    int tries = 0;
    for (int display = 90 + getpid() % 50; display < 200 && tries < 3; ++display) {
      if (QFile::exists(QString("/tmp/.X%1-lock").arg(display))) continue;
      ++tries;
      display_ = QString(":%1").arg(display);
      xvfb_.start(xvfb, {display_, "-screen", "0", "800x600x24", "-nolisten", "tcp"});
      const QString socket = QString("/tmp/.X11-unix/X%1").arg(display);
      if (testing::WaitFor([&] { return QFile::exists(socket) || xvfb_.state() == QProcess::NotRunning; }, 20000) &&
          xvfb_.state() == QProcess::Running)
        return true;
      xvfb_.kill();
      xvfb_.waitForFinished(5000);
    }
    return false;
  }
  QProcessEnvironment XEnvironment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display_);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("SDL_AUDIODRIVER", "dummy");
    return environment;
  }
  QImage Screenshot(const QString& path) {
    QProcess grabber;
    QProcessEnvironment environment = XEnvironment();
    environment.insert(kGrabTarget, path);
    grabber.setProcessEnvironment(environment);
    grabber.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=ScreenCapture.*"});
    grabber.waitForFinished(20000);
    return QImage(path).convertToFormat(QImage::Format_RGB32);
  }

  QProcess xvfb_, program_;
  QString display_;
};

TEST_F(RealWindowTest, BoardShowsAGreenLightAndARedTileOnARealDisplay) {
  const QString xvfb = QStandardPaths::findExecutable("Xvfb");
  if (xvfb.isEmpty()) GTEST_SKIP() << "Xvfb is not installed: the real-window check needs it (apt-get install xvfb)";
  const QString kelvanor = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath("../kelvanor");
  ASSERT_TRUE(QFile::exists(kelvanor)) << "build the kelvanor target first";
  if (!StartXvfb(xvfb)) GTEST_SKIP() << "Xvfb is installed but no display came up: the real-window check could not run";

  testing::TcpListener listening;
  const int refused = testing::RefusedPort();
  WriteFile("<?xml version=\"1.0\" encoding=\"GBK\"?>\n<root>\n    <RefreshTime val=\"600\"/>\n"
            "    <Sound val=\"0\" file=\"\"/>\n"
            "    <IPInfo ip=\"127.0.0.1\" port=\"" + std::to_string(listening.port()) + "\" remark=\"listening\"/>\n"
            "    <IPInfo ip=\"127.0.0.1\" port=\"" + std::to_string(refused) + "\" remark=\"refused\"/>\n</root>\n");
  program_.setProcessEnvironment(XEnvironment());
  program_.setWorkingDirectory(QString::fromStdString(Dir().string()));
  program_.start(kelvanor, {});
  ASSERT_TRUE(program_.waitForStarted(10000));

  const QString shot = QString::fromStdString((Dir() / "board.png").string());
  QImage image;
  const bool shown = testing::WaitFor(
      [&] {
        testing::Pump(300);
        image = Screenshot(shot);
        return CountPixels(image, qRgb(0, 255, 0)) > 20 && CountPixels(image, qRgb(255, 0, 0)) > 1000;
      },
      30000);
  EXPECT_TRUE(shown) << "screenshot kept at " << shot.toStdString();
  EXPECT_EQ(program_.state(), QProcess::Running);
}

}  // namespace
}  // namespace kelvanor::test
