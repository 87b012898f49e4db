// A full repaint of the view's board at 1280 x 800: with 42 endpoints (one full screen)
// and with 10,000, scrolled to the top and to the end, where only the visible tiles may
// count; and 20 tiles whose remarks are 1 MB without a blank, of which a tile shows four
// lines. Medians of five runs. Prints rows of the bench table (see bench/run.sh).
#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <string>
#include <vector>

#include "bench/clocks.h"
#include "bench/median.h"
#include "bench/table_row.h"
#include "monitor/kelvanor_view.h"
#include "platform/gbk.h"

namespace {

using namespace kelvanor;
using namespace kelvanor::bench;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 1280, kHeight = 800;
constexpr int kScreen = 42;  // 6 tiles of 200 x 120 a row, 7 rows
constexpr int kRuns = 5;
constexpr double kRunMs = 200;  // a run repaints for at least this long

// Endpoints in the three states with their result texts and remarks long enough to wrap,
// or made `remarkBytes` long of CJK and Latin letters without a blank.
void Fill(SettingData& setting, int count, std::size_t remarkBytes) {
  const ProbeState states[] = {Connecting, Connected, Failed};
  const std::string results[] = {ConnectingText(), ConnectedText(), Gbk(u8"由于目标计算机积极拒绝，无法连接。")};
  std::string longRemark;
  while (longRemark.size() < remarkBytes) longRemark += Gbk(u8"服务器备注") + "Remark";
  for (int i = 0; i < count; ++i) {
    IPInfo entry("127.0.0." + std::to_string(1 + i % 250), 8000 + i,
                 remarkBytes ? longRemark : Gbk(u8"服务器 ") + std::to_string(i) + " with a remark that wraps");
    entry.state = states[i % 3];
    entry.result = results[i % 3];
    setting.Append(std::move(entry));
  }
}

enum class Scroll { kTop, kEnd };

struct Paint {
  double wallMs, cpuMs;  // cpu: the UI thread's; the machine is shared, so wall time waits on others
  bool scrolled;         // the view had a scroll bar to move
};

std::string Times(const Paint& paint) { return Format("%.2f ms", paint.wallMs) + Format(" (CPU %.2f ms)", paint.cpuMs); }

Paint PaintOf(int count, Scroll scroll, std::size_t remarkBytes = 0) {
  CKelvanorView view;
  Fill(view.Setting(), count, remarkBytes);
  view.resize(kWidth, kHeight);
  view.show();
  if (!QTest::qWaitForWindowExposed(&view)) qFatal("the view never showed");
  QScrollBar* bar = view.findChild<QScrollBar*>();
  if (bar && scroll == Scroll::kEnd) bar->setValue(bar->maximum());
  view.repaint();  // texts laid out and caches filled, as on any screen already shown
  std::vector<double> wall, cpu;
  for (int r = 0; r < kRuns; ++r) {
    const Clock::time_point start = Clock::now();
    const std::chrono::nanoseconds cpuStart = CpuTime(CLOCK_THREAD_CPUTIME_ID);
    int paints = 0;
    do {
      view.repaint();
      ++paints;
    } while (Ms(Clock::now() - start) < kRunMs);
    wall.push_back(Ms(Clock::now() - start) / paints);
    cpu.push_back(Ms(CpuTime(CLOCK_THREAD_CPUTIME_ID) - cpuStart) / paints);
  }
  return {Median(wall), Median(cpu), bar != nullptr};
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::string board = "board: full repaint, " + std::to_string(kWidth) + " x " + std::to_string(kHeight) + ", ";
  const Paint screen = PaintOf(kScreen, Scroll::kTop);
  for (Scroll scroll : {Scroll::kTop, Scroll::kEnd}) {
    const Paint many = PaintOf(10000, scroll);
    std::string where = scroll == Scroll::kTop ? "at the top" : "at the end";
    if (scroll == Scroll::kEnd && !many.scrolled) where += " (no scroll bar: the top)";
    PrintRow(board + "10,000 endpoints " + where + " / 42 (one full screen)", Times(many), Times(screen),
             Format("%.2f", many.wallMs / screen.wallMs) + Format(" (CPU %.2f)", many.cpuMs / screen.cpuMs),
             "<= 1.10 (CPU)", Met(many.cpuMs <= 1.10 * screen.cpuMs));
  }
  const Paint huge = PaintOf(20, Scroll::kTop, 1 << 20);
  PrintRow(board + "20 endpoints with remarks of 1 MB without a blank", Times(huge), "—", "—", "< 5 ms (CPU)",
           Met(huge.cpuMs < 5));
  return 0;
}
