// The real program in a real X window: under Xvfb, build/kelvanor runs with one listening
// and one refusing loopback endpoint, and the server's frame buffer must show the red second
// tile at its exact size and the first tile's green light where the layout puts it.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QtEndian>

#include "board/light_images.h"
#include "tests/common/loopback.h"
#include "tests/common/xvfb.h"
#include "tests/settings/setting_dir.h"

namespace kelvanor::test {
namespace {

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

using RealWindowTest = InSettingDir;

TEST_F(RealWindowTest, BoardShowsTheGreenLightAndTheRedTileWhereTheLayoutPutsThem) {
  const QString kelvanor = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath("../kelvanor");
  ASSERT_TRUE(QFile::exists(kelvanor)) << "build the kelvanor target first";
  const QString dir = QString::fromStdString(Dir().string());
  testing::TcpListener listening;
  const auto endpoint = [](int port) { return "<IPInfo ip=\"127.0.0.1\" port=\"" + std::to_string(port) + "\"/>"; };
  WriteFile("<root><RefreshTime val=\"600\"/><Sound val=\"0\" file=\"\"/>" + endpoint(listening.port()) +
            endpoint(testing::RefusedPort()) + "</root>");

  // Both are ended when they go out of scope.
  testing::Xvfb xvfb({"-fbdir", dir});
  if (!xvfb.IsUp()) GTEST_SKIP() << xvfb.Problem();
  QProcess program;
  program.setProcessEnvironment(xvfb.Environment());
  program.setWorkingDirectory(dir);
  program.start(kelvanor, {});
  ASSERT_TRUE(program.waitForStarted(10000));

  // The second tile covers (210, 10) to (400, 120) of the view; the first one's light is at (18, 36).
  const QPoint secondTile(210, 10), firstLight(18, 36);
  const QImage light = LightImageList().Render(kLightConnected);
  QRect red;
  const bool shown = testing::WaitFor(
      [&] {
        testing::Pump(200);
        const QImage image = Screen(dir + "/Xvfb_screen0");
        red = RedBounds(image);
        return red.size() == QSize(191, 111) &&
               image.copy(QRect(red.topLeft() - secondTile + firstLight, light.size())) == light;
      },
      30000);
  EXPECT_TRUE(shown) << "red area " << red.width() << " x " << red.height() << ", or no green light where expected";
  EXPECT_EQ(program.state(), QProcess::Running)
      << "kelvanor exited with " << program.exitCode() << ", its errors:\n"
      << program.readAllStandardError().right(4000).toStdString();
}

}  // namespace
}  // namespace kelvanor::test
