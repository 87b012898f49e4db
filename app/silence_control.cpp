#include "app/silence_control.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>

#include "app/command_ids.h"
#include "app/main_frame.h"
#include "monitor/kelvanor_view.h"

namespace kelvanor {

void ConnectSilence(CMainFrame& frame, CKelvanorView& view) {
  QAction* silence = frame.Action(ID_SILENCE);
  auto* shown = new QLabel(QString::fromUtf8(reinterpret_cast<const char*>(u8"静音")), frame.statusBar());
  shown->setObjectName("silenceIndicator");
  shown->hide();
  // After the one message label: the first of the permanent panes.
  frame.statusBar()->insertPermanentWidget(1, shown);
  QObject::connect(silence, &QAction::toggled, &view, &CKelvanorView::SetSilenced);
  QObject::connect(&view, &CKelvanorView::SilenceChanged, silence, &QAction::setChecked);
  QObject::connect(&view, &CKelvanorView::SilenceChanged, shown, &QWidget::setVisible);
}

}  // namespace kelvanor
