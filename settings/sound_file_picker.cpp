#include "settings/sound_file_picker.h"

#include <QFile>
#include <QFileDialog>
#include <QStringList>
#include <filesystem>
#include <system_error>

#include "platform/gbk.h"
#include "platform/message_box.h"

namespace kelvanor {
namespace {

QString ShowWaveFileDialog(QWidget* parent, const QString& directory) {
  QFileDialog dialog(parent, QString(), directory, GbkToQString(Gbk(u8"wav文件(*.wav)")));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(QStringLiteral("wav"));
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList files = dialog.selectedFiles();
  return files.isEmpty() ? QString() : files.front();
}

SoundFilePicker& Picker() {
  static SoundFilePicker picker;
  return picker;
}

// Puts the working directory back on every way out of the picker.
class WorkingDirectoryKeeper {
 public:
  WorkingDirectoryKeeper() : saved_(std::filesystem::current_path(error_)) {}
  ~WorkingDirectoryKeeper() {
    std::error_code ignored;
    if (!error_) std::filesystem::current_path(saved_, ignored);
  }
  WorkingDirectoryKeeper(const WorkingDirectoryKeeper&) = delete;
  WorkingDirectoryKeeper& operator=(const WorkingDirectoryKeeper&) = delete;

 private:
  std::error_code error_;
  std::filesystem::path saved_;
};

}  // namespace

SoundFilePicker SetSoundFilePicker(SoundFilePicker picker) {
  SoundFilePicker previous = std::move(Picker());
  Picker() = std::move(picker);
  return previous;
}

QString PickSoundFile(QWidget* parent) {
  WorkingDirectoryKeeper keeper;
  std::error_code ignored;
  std::filesystem::current_path("../sounds/", ignored);
  const QString here = QFile::decodeName(std::filesystem::current_path(ignored).c_str());
  return Picker() ? Picker()(parent, here) : ShowWaveFileDialog(parent, here);
}

std::optional<std::string> PickGbkSoundFile(QWidget* parent) {
  const QString path = PickSoundFile(parent);
  if (path.isEmpty()) return std::nullopt;
  std::string gbk = QStringToGbk(path);
  if (GbkToQString(gbk) != path) {
    ShowMessageBox(parent, Gbk(u8"所选文件的路径含有无法保存的字符，请选择其他文件。"), "", MessageIcon::Warning);
    return std::nullopt;
  }
  return gbk;
}

}  // namespace kelvanor
