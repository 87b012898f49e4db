#pragma once
// The real settings dialog on the offscreen platform in a temporary working directory,
// with message boxes recorded.
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <optional>

#include "platform/gbk.h"
#include "settings/setting_dialog.h"
#include "tests/common/message_box_recorder.h"
#include "tests/settings/setting_dir.h"

namespace kelvanor::test {

class SettingDialogTest : public InSettingDir {
 protected:
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

 private:
  std::optional<CSettingDialog> dialog_;  // destroyed before the directory it works in
};

}  // namespace kelvanor::test
