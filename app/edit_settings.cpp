#include "app/edit_settings.h"

#include "monitor/kelvanor_view.h"
#include "platform/message_box.h"
#include "settings/setting_dialog.h"

namespace kelvanor {

int EditSettings(CKelvanorView& view, QWidget* parent) {
  CSettingDialog dialog(&view.Setting(), parent);
  const int result = dialog.DoModal();
  if (result == kIdOk) {
    view.RefreshStatus();
    view.RestartRefreshTimer();
  }
  return result;
}

}  // namespace kelvanor
