#pragma once
// The 静音 command: its check item follows the view's silence both ways, and "静音"
// shows in the status bar while it is on.
namespace kelvanor {

class CKelvanorView;
class CMainFrame;

void ConnectSilence(CMainFrame& frame, CKelvanorView& view);

}  // namespace kelvanor
