#pragma once
// The settings command, wired here because the monitor does not know the dialog.
class QWidget;

namespace kelvanor {

class CKelvanorView;

// Runs the settings dialog on the view's own record. After OK the view probes the new
// list at once and restarts its refresh timer with the new period. Returns the
// dialog's result (kIdOk or kIdCancel).
int EditSettings(CKelvanorView& view, QWidget* parent);

}  // namespace kelvanor
