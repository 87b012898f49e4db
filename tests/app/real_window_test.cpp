// The real program in a real X window: under Xvfb, build/kelvanor runs in a directory
// whose setting.xml lists one listening and one refusing loopback endpoint, and a
// screenshot of the display must show the green light of the first tile and the red
// second tile where the board's layout puts them.
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
#include <optional>
#include <unistd.h>

#include "board/light_images.h"

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

constexpr QRgb kTileRed = qRgb(255, 0, 0);
// The board's layout: the first tile covers (10, 10) to (200, 120) of the view, both
// edges painted, the next one 200 to the right; a light is 8 right and 26 down from its
// tile's corner.
constexpr int kTileWidth = 191, kTileHeight = 111;
const QPoint kSecondTile(210, 10), kFirstLight(18, 36);

bool IsRed(const QImage& image, int x, int y) {
  return image.rect().contains(x, y) && (image.pixel(x, y) & 0xFFFFFF) == (kTileRed & 0xFFFFFF);
}

// The view's top-left on the screen, found from the red tile: its straight edges, away
// from the rounded corners, must be exactly where and as long as the layout says. The
// edges are walked along a row and a column near the bottom right, clear of the texts.
std::optional<QPoint> BoardOrigin(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x + kTileWidth / 2 < image.width(); ++x) {
      int run = 0;
      while (IsRed(image, x + run, y)) ++run;
      if (run < kTileWidth / 2) {
        x += run;
        continue;
      }
      const int midY = y + kTileHeight - 8, midX = x + run - 8;
      int left = midX, top = y;
      while (IsRed(image, left - 1, midY)) --left;
      while (IsRed(image, midX, top - 1)) --top;
      int right = midX, bottom = y;
      while (IsRed(image, right + 1, midY)) ++right;
      while (IsRed(image, midX, bottom + 1)) ++bottom;
      if (right - left + 1 != kTileWidth || bottom - top + 1 != kTileHeight) return std::nullopt;
      return QPoint(left, top) - kSecondTile;
    }
  }
  return std::nullopt;
}

// Pixels of the connected light that differ on the screen at the first tile's light.
int LightMismatches(const QImage& image, QPoint origin) {
  const QImage light = LightImageList().Render(kLightConnected).convertToFormat(QImage::Format_RGB32);
  int mismatches = light.isNull() ? 1 : 0;
  for (int y = 0; y < light.height(); ++y)
    for (int x = 0; x < light.width(); ++x) {
      const QPoint at = origin + kFirstLight + QPoint(x, y);
      mismatches += !image.rect().contains(at) || (image.pixel(at) & 0xFFFFFF) != (light.pixel(x, y) & 0xFFFFFF);
    }
  return mismatches;
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

TEST_F(RealWindowTest, BoardShowsTheGreenLightAndTheRedTileWhereTheLayoutPutsThem) {
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
  std::optional<QPoint> origin;
  const bool shown = testing::WaitFor(
      [&] {
        testing::Pump(300);
        image = Screenshot(shot);
        origin = BoardOrigin(image);
        return origin && LightMismatches(image, *origin) == 0;
      },
      30000);
  EXPECT_TRUE(shown) << "red tile " << (origin ? "found" : "not found") << ", light mismatches "
                     << (origin ? LightMismatches(image, *origin) : -1) << "; screenshot kept at "
                     << shot.toStdString();
  EXPECT_EQ(program_.state(), QProcess::Running)
      << "kelvanor exited with " << program_.exitCode() << ", its errors:\n"
      << program_.readAllStandardError().right(4000).toStdString();
}

}  // namespace
}  // namespace kelvanor::test
