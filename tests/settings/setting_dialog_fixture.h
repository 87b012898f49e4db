#pragma once
// The real settings dialog shown on the offscreen platform in a temporary working
// directory, with message boxes recorded and the wave-file picker answered by the test.
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QTimer>
#include <functional>
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
  // Runs a new dialog modally; `whileOpen` drives it from inside its modal loop.
  int RunModal(const std::function<void()>& whileOpen) {
    dialog_.emplace(&setting);
    QTimer::singleShot(0, &*dialog_, whileOpen);
    return dialog_->DoModal();
  }
  // Endpoints 10.0.0.i:800i "ri" for i = 1..count.
  void AddEndpoints(int count) {
    for (int i = 1; i <= count; ++i)
      setting.Append(IPInfo("10.0.0." + std::to_string(i), 8000 + i, "r" + std::to_string(i)));
  }
  CGridCtrl& Grid() { return *static_cast<CGridCtrl*>(Item(IDC_GRID)); }
  QComboBox& Sound() { return *static_cast<QComboBox*>(Item(IDC_COMBO_SOUND)); }
  QLineEdit& Interval() { return *static_cast<QLineEdit*>(Item(IDC_EDIT_REFRESH)); }
  // The texts of one grid column below the header row.
  std::vector<std::string> Column(int col) {
    std::vector<std::string> texts;
    for (int row = 1; row < Grid().GetRowCount(); ++row) texts.push_back(Grid().GetItemText(row, col));
    return texts;
  }
  QWidget* Item(int id) { return dialog_->GetDlgItem(id); }
  void Click(int id) { QTest::mouseClick(Item(id), Qt::LeftButton); }
  void SelectRows(int first, int last) {
    Grid().SetFocusCell(first, 1);
    Grid().SetSelectedRange(first, 1, last, 3);
  }
  // Picks an item of the alarm-sound list in its open list, as the operator does.
  void ChooseSound(int index) {
    QComboBox& combo = Sound();
    combo.showPopup();
    combo.view()->setCurrentIndex(combo.model()->index(index, 0));
    QTest::keyClick(combo.view(), Qt::Key_Return);
  }
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const MessageBoxCall& call : boxes.calls) texts.push_back(call.text);
    return texts;
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
