#include "app/command_ids.h"
#include "platform/gbk.h"

namespace kelvanor {

CommandText CommandTextOf(int id) {
  // Each text is "prompt\ntooltip", as the string table keeps it.
  const char8_t* text = u8"";
  switch (id) {
    case ID_SETTING: text = u8"监控设置\n设置"; break;
    case ID_REFRESH: text = u8"刷新状态\n刷新"; break;
    case ID_SILENCE: text = u8"报警不再发声，直到再次选择或任一端点的状态改变\n静音"; break;
    case ID_OPTIONS: text = u8"设置报警次数、恢复提示音、托盘图标、桌面通知和事件日志\n选项"; break;
    case ID_APP_ABOUT: text = u8"显示程序信息、版本号和版权信息\n关于"; break;
    case ID_APP_EXIT: text = u8"退出应用程序；提示保存文档\n退出"; break;
    case ID_VIEW_TOOLBAR: text = u8"显示或隐藏工具栏\n切换工具栏"; break;
    case ID_VIEW_STATUS_BAR: text = u8"显示或隐藏状态栏\n切换状态栏"; break;
    default: break;
  }
  const std::string both = Gbk(text);
  const auto newline = both.find('\n');
  if (newline == std::string::npos) return {both, ""};
  return {both.substr(0, newline), both.substr(newline + 1)};
}

}  // namespace kelvanor
