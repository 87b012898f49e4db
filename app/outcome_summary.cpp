#include "app/outcome_summary.h"

#include <QAction>
#include <QMouseEvent>
#include <QStatusBar>

#include "app/main_frame.h"
#include "monitor/kelvanor_view.h"

namespace kelvanor {
namespace {

QString Field(const char8_t* name, std::size_t count) {
  return QString::fromUtf8(reinterpret_cast<const char*>(name)) + ' ' + QString::number(count);
}

}  // namespace

QString SummaryText(const OutcomeCounts& counts) {
  return Field(u8"正常", counts.connected) + "  " + Field(u8"异常", counts.failed) + "  " +
         Field(u8"未检测", counts.unchecked);
}

OutcomeSummary::OutcomeSummary(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::RichText);
  setCursor(Qt::PointingHandCursor);
  Show({});
}

void OutcomeSummary::Show(const OutcomeCounts& counts) {
  QString failed = Field(u8"异常", counts.failed).toHtmlEscaped();
  // Darker than the tiles' pure red, which the eye (and the window tests) keep for tiles.
  if (counts.failed > 0) failed = "<span style=\"color:#cc0000\">" + failed + "</span>";
  setText("<span style=\"white-space:pre\">" + Field(u8"正常", counts.connected) + "  " + failed + "  " +
          Field(u8"未检测", counts.unchecked) + "</span>");
  setToolTip(SummaryText(counts));
}

void OutcomeSummary::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit Clicked();
}

OutcomeSummary* AddOutcomeSummary(CMainFrame& frame, CKelvanorView& view) {
  auto* summary = new OutcomeSummary(frame.statusBar());
  // Permanent widgets count after the bar's one message label: this puts it before the lock panes.
  frame.statusBar()->insertPermanentWidget(1, summary);
  QObject::connect(&view, &CKelvanorView::CountsChanged, summary, [summary, &view] { summary->Show(view.Counts()); });
  QObject::connect(summary, &OutcomeSummary::Clicked, &view, &CKelvanorView::ShowNextFailure);
  auto* next = new QAction(&frame);
  next->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  frame.addAction(next);
  QObject::connect(next, &QAction::triggered, &view, &CKelvanorView::ShowNextFailure);
  return summary;
}

}  // namespace kelvanor
