// The real program in a real X window: under Xvfb, build/kelvanor runs in a directory
// whose setting.xml lists one listening and one refusing loopback endpoint, and the
// server's frame buffer must show the red second tile at its exact size, and the first
// tile's green light where the board's layout puts it relative to that tile.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>

#include "board/light_images.h"
#include "tests/common/loopback.h"
#include "tests/settings/setting_dir.h"

namespace kelvanor::test {
namespace {

// The screen as Xvfb keeps it in its frame buffer file: an X window dump whose header
// gives the size and line length, then 32-bit pixels laid out as QImage's RGB32.
QImage Screen(const QString& frameBuffer) {
  QFile file(frameBuffer);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray dump = file.readAll();
  const auto field = [&](int i) { return qFromBigEndian<quint32>(dump.constData() + 4 * i); };
  if (dump.size() < 100 || field(11) != 32 || dump.size() < field(0) + 12 * field(19) + field(12) * field(5)) return {};
  const auto* pixels = reinterpret_cast<const uchar*>(dump.constData()) + field(0) + 12 * field(19);
  return QImage(pixels, field(4), field(5), field(12), QImage::Format_RGB32).copy();
}

// Nothing else on the screen is pure red, so these are the failed tile's bounds.
QRect RedBounds(const QImage& image) {
  QRect bounds;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == 0xFF0000) bounds |= QRect(x, y, 1, 1);
  return bounds;
}

bool ShowsConnectedLight(const QImage& image, QPoint at) {
  const QImage light = LightImageList().Render(kLightConnected);
  return !light.isNull() && image.copy(QRect(at, light.size())) == light;
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

  // Xvfb picks a free display and names it on its output once it accepts clients.
  bool StartXvfb(const QString& xvfb) {
    xvfb_.start(xvfb, {"-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp", "-fbdir",
                       QString::fromStdString(Dir().string())});
    if (!testing::WaitFor([&] { return xvfb_.canReadLine() || xvfb_.state() == QProcess::NotRunning; }, 20000))
      return false;
    environment_.insert("DISPLAY", ":" + QString::fromLatin1(xvfb_.readLine()).trimmed());
    return xvfb_.state() == QProcess::Running;
  }

  QProcess xvfb_, program_;
  QProcessEnvironment environment_ = [] {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("SDL_AUDIODRIVER", "dummy");
    return environment;
  }();
};

TEST_F(RealWindowTest, BoardShowsTheGreenLightAndTheRedTileWhereTheLayoutPutsThem) {
  const QString xvfb = QStandardPaths::findExecutable("Xvfb");
  if (xvfb.isEmpty()) GTEST_SKIP() << "Xvfb is not installed: the real-window check needs it (apt-get install xvfb)";
  const QString kelvanor = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath("../kelvanor");
  ASSERT_TRUE(QFile::exists(kelvanor)) << "build the kelvanor target first";
  if (!StartXvfb(xvfb)) GTEST_SKIP() << "Xvfb is installed but no display came up: the real-window check could not run";

  testing::TcpListener listening;
  const auto endpoint = [](int port) { return "<IPInfo ip=\"127.0.0.1\" port=\"" + std::to_string(port) + "\"/>"; };
  WriteFile("<root><RefreshTime val=\"600\"/><Sound val=\"0\" file=\"\"/>" + endpoint(listening.port()) +
            endpoint(testing::RefusedPort()) + "</root>");
  program_.setProcessEnvironment(environment_);
  program_.setWorkingDirectory(QString::fromStdString(Dir().string()));
  program_.start(kelvanor, {});
  ASSERT_TRUE(program_.waitForStarted(10000));

  // The second tile covers (210, 10) to (400, 120) of the view, both edges painted; the
  // first tile's light is at (18, 36).
  const QPoint secondTile(210, 10), firstLight(18, 36);
  QRect red;
  const bool shown = testing::WaitFor(
      [&] {
        testing::Pump(200);
        const QImage image = Screen(QString::fromStdString((Dir() / "Xvfb_screen0").string()));
        red = RedBounds(image);
        return red.size() == QSize(191, 111) && ShowsConnectedLight(image, red.topLeft() - secondTile + firstLight);
      },
      30000);
  EXPECT_TRUE(shown) << "red area " << red.width() << " x " << red.height() << ", or no green light where expected";
  EXPECT_EQ(program_.state(), QProcess::Running)
      << "kelvanor exited with " << program_.exitCode() << ", its errors:\n"
      << program_.readAllStandardError().right(4000).toStdString();
}

}  // namespace
}  // namespace kelvanor::test
