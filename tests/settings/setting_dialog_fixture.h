#pragma once
// The real settings dialog on the offscreen platform in a temporary working directory,
// with message boxes recorded. Its helpers are public so that table-driven cases can act
// on the dialog.
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <optional>
#include <string>
#include <vector>

#include "platform/gbk.h"
#include "settings/setting_dialog.h"
#include "tests/common/message_box_recorder.h"
#include "tests/settings/setting_dir.h"

namespace kelvanor::test {

class SettingDialogTest : public InSettingDir {
 public:
  CSettingDialog& Open() {
    dialog_.emplace(&setting);
    dialog_->show();
    return *dialog_;
  }
  // Opens on endpoints 10.0.0.i:800i "ri" for i = 1..count.
  CSettingDialog& OpenWith(int count) {
    for (int i = 1; i <= count; ++i)
      setting.Append(IPInfo("10.0.0." + std::to_string(i), 8000 + i, "r" + std::to_string(i)));
    return Open();
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
  // Selects the cells from (row, col) to (lastRow, lastCol), with the focus and the
  // selection's anchor on the first.
  void Select(int row, int col, int lastRow, int lastCol) {
    Grid().SetFocusCell(row, col);
    Grid().SetSelectionStartCell(CCellID(row, col));
    Grid().SetSelectedRange(row, col, lastRow, lastCol);
  }
  void SelectRows(int first, int last) { Select(first, 1, last, 3); }
  // Each data row as "number ip port remark", ending " *" when its IP to remark are selected.
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (int row = 1; row < Grid().GetRowCount(); ++row) {
      std::string text = Grid().GetItemText(row, 0);
      for (int col = 1; col <= 3; ++col) text += " " + Grid().GetItemText(row, col);
      const bool selected =
          Grid().IsCellSelected(row, 1) && Grid().IsCellSelected(row, 2) && Grid().IsCellSelected(row, 3);
      rows.push_back(selected ? text + " *" : text);
    }
    return rows;
  }

  SettingData setting;
  testing::MessageBoxRecorder boxes;

 private:
  std::optional<CSettingDialog> dialog_;  // destroyed before the directory it works in
};

}  // namespace kelvanor::test
