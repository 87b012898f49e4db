#include "settings/setting_file_guard.h"

#include <QFile>
#include <filesystem>

#include "platform/gbk.h"
#include "platform/message_box.h"
#include "settings/setting_file.h"

namespace kelvanor {
namespace {

std::string FileName() {
  std::error_code error;
  const std::filesystem::path path = std::filesystem::absolute(kSettingFileName, error);
  return QStringToGbk(QFile::decodeName(error ? kSettingFileName : path.c_str()));
}

}  // namespace

void ReportUnloadedSettingFile(const std::string& problem, QWidget* owner) {
  ShowMessageBox(owner,
                 Gbk(u8"设置文件 ") + FileName() + Gbk(u8" 未能载入：") + problem +
                     Gbk(u8"。\n本次运行没有读到其中的设置；保存设置前会先询问是否替换该文件。"),
                 "", MessageIcon::Warning);
}

bool MayReplaceSettingFile(SettingData& setting, QWidget* owner) {
  if (!setting.fileNotLoaded) return true;
  if (ShowMessageBox(owner,
                     Gbk(u8"设置文件 ") + FileName() + Gbk(u8" 未能载入，保存将替换其中的全部内容。\n是否替换？"), "",
                     MessageIcon::Question, MessageButtons::YesNo) != kIdYes)
    return false;
  setting.fileNotLoaded = false;
  return true;
}

}  // namespace kelvanor
