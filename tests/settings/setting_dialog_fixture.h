#pragma once
// The real settings dialog on the offscreen platform in a temporary working directory,
// with message boxes recorded and the wave-file picker answered by the test.
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <optional>

#include "platform/gbk.h"
#include "settings/setting_dialog.h"
#include "settings/sound_file_picker.h"
#include "tests/common/message_box_recorder.h"
#include "tests/settings/setting_dir.h"

namespace kelvanor::test {

class SettingDialogTest : public InSettingDir {
 protected:
  void SetUp() override {
    InSettingDir::SetUp();
    previousPicker_ = SetSoundFilePicker([this](QWidget*, const QString& directory) {
      pickerDirectories.push_back(directory);
      return pickedFile;
    });
  }
  void TearDown() override {
    dialog_.reset();
    SetSoundFilePicker(std::move(previousPicker_));
    InSettingDir::TearDown();
  }

  CSettingDialog& Open() {
    dialog_.emplace(&setting);
    dialog_->show();
    return *dialog_;
  }
  QWidget* Item(int id) { return dialog_->GetDlgItem(id); }
  CGridCtrl& Grid() { return *static_cast<CGridCtrl*>(Item(IDC_GRID)); }
  QComboBox& Sound() { return *static_cast<QComboBox*>(Item(IDC_COMBO_SOUND)); }
  QLineEdit& Interval() { return *static_cast<QLineEdit*>(Item(IDC_EDIT_REFRESH)); }
  void Click(int id) { QTest::mouseClick(Item(id), Qt::LeftButton); }
  // Picks an item of the alarm-sound list in its open list, as the operator does.
  void ChooseSound(int index) {
    Sound().showPopup();
    Sound().view()->setCurrentIndex(Sound().model()->index(index, 0));
    QTest::keyClick(Sound().view(), Qt::Key_Return);
  }

  SettingData setting;
  testing::MessageBoxRecorder boxes;
  QString pickedFile;  // what the picker answers; empty is a cancel
  std::vector<QString> pickerDirectories;

 private:
  std::optional<CSettingDialog> dialog_;
  SoundFilePicker previousPicker_;
};

}  // namespace kelvanor::test
