#pragma once
// The settings dialog: the endpoint list in an editable grid, the refresh interval and
// the alarm sound. It edits the view's own settings record in place and saves it on OK.
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "grid/grid_ctrl.h"
#include "monitor/endpoint_list.h"
#include "settings/number_edit.h"

namespace kelvanor {

// Control identifiers of the dialog's template; 1 and 2 are OK and Cancel.
enum : int {
  IDC_GRID = 1000,
  IDC_BUTTON_UP = 1002,
  IDC_BUTTON_DOWN = 1003,
  IDC_EDIT_REFRESH = 1005,
  IDC_BUTTON_ADD = 1006,
  IDC_BUTTON_DELETE = 1007,
  IDC_COMBO_SOUND = 1008,
};

// Indexes of the alarm-sound list; the chosen wave file's path is the fourth item.
enum : int { kSoundNone = 0, kSoundSpeaker = 1, kSoundChooseFile = 2, kSoundFileItem = 3 };

class CSettingDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CSettingDialog(SettingData* setting, QWidget* parent = nullptr);

  // Runs the dialog modally: kIdOk after a successful save, kIdCancel otherwise.
  int DoModal();
  // The control with a template identifier, or null.
  QWidget* GetDlgItem(int id) const;

 protected:
  // Edit 1005 <-> m_nRefreshTime. Reading it fails (after telling the operator, with
  // the box focused) when the text is not a 32-bit integer.
  virtual bool DoDataExchange(bool saveAndValidate);
  virtual bool OnInitDialog();
  virtual void OnOK();
  // Cancel, Escape and the close button: asks first when edits would be thrown away.
  void reject() override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // Takes a paste of an endpoint list before the grid's cell-by-cell paste.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Layout of the dialog's template, in dialog units of the dialog font.
  void CreateControls();
  // Which edges a control follows when the dialog is resized.
  enum Follow : int { kRight = 1, kBottom = 2, kWidth = 4, kHeight = 8 };  // none: top left
  void Place(QWidget& control, int id, int x, int y, int width, int height, int follow);

  // The grid.
  void InitGridCtrl();
  void FillGridRows();
  void OnBnClickedAdd();
  void OnBnClickedDelete();
  void OnBnClickedUp() { MoveSelectedRow(-1); }
  void OnBnClickedDown() { MoveSelectedRow(+1); }
  void MoveSelectedRow(int step);
  // Column 0 shows each data row's own number, 1 to n.
  void NumberRows();
  // Names the first row from firstRow on whose port or address mode OK could not keep,
  // with its cell focused; false then.
  bool CheckRows(int firstRow = 1);
  static constexpr int kModeColumn = 4;  // the grid's 地址族 column
  // Gives a cell the keyboard focus, alone selected and scrolled into view, so that what
  // the operator types next goes into it.
  void FocusGridCell(int row, int col);
  // Appends one row per endpoint when the clipboard holds an endpoint list; false when it
  // holds something else, which the grid then pastes as usual.
  bool PasteEndpointList();

  // What Cancel would throw away, compared with what the dialog opened on.
  struct Snapshot {
    std::vector<std::string> endpoints;  // "ip\tport\tremark" of each row with an IP
    QString interval;
    int soundType;
    std::string soundFile;
    bool operator==(const Snapshot&) const = default;
  };
  Snapshot TakeSnapshot() const;

  // The alarm sound.
  void ShowSoundChoice();
  void OnCbnSelchangeSound(int index);
  void SetFileItem(const std::string& path);
  void RemoveFileItem();

  CGridCtrl m_Grid;
  QComboBox m_cbSound;
  SettingData* m_pSetting;  // the view's record, not owned
  std::int32_t m_nRefreshTime;

  QPushButton m_btnOk, m_btnCancel, m_btnAdd, m_btnDelete, m_btnUp, m_btnDown;
  QGroupBox m_grpEndpoints, m_grpOther;
  CNumberEdit m_editRefresh;
  QLabel m_lblInterval, m_lblSeconds, m_lblSound;
  std::map<int, QWidget*> m_Controls;
  struct Placed {
    QWidget* control;
    QRect atTemplateSize;
    int follow;
  };
  std::vector<Placed> m_Placed;
  QSize m_TemplateSize;
  Snapshot m_Opened;
  bool m_bInitialized = false;
};

}  // namespace kelvanor
