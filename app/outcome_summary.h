#pragma once
// The status bar's live summary of the endpoints' last outcomes, "正常 N  异常 N  未检测 N",
// with the failures in red while there are any. A click on it, or Ctrl+F, scrolls the
// board to the next failed endpoint.
#include <QLabel>

#include "monitor/outcome_counts.h"

namespace kelvanor {

class CKelvanorView;
class CMainFrame;

class OutcomeSummary : public QLabel {
  Q_OBJECT
 public:
  explicit OutcomeSummary(QWidget* parent = nullptr);
  void Show(const OutcomeCounts& counts);

 signals:
  void Clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* e) override;
};

// The summary as plain text.
QString SummaryText(const OutcomeCounts& counts);

// Puts a summary of the view's counts into the frame's status bar and routes its click
// and Ctrl+F to the view.
OutcomeSummary* AddOutcomeSummary(CMainFrame& frame, CKelvanorView& view);

}  // namespace kelvanor
