// The controls of the settings dialog's template: texts, tab order and placement in
// dialog units, which follow the dialog font as on Windows.
#include <algorithm>
#include <iterator>

#include "platform/gdi_dc.h"
#include "platform/message_box.h"
#include "settings/dialog_units.h"
#include "settings/setting_dialog.h"

namespace kelvanor {
namespace {

constexpr int kStatic = -1;  // controls no handler refers to

// "MS Shell Dlg", 8 point, weight 400, at the screen's vertical resolution.
LogFont DialogLogFont() {
  LogFont font;
  font.lfHeight = -MulDiv(8, ScreenLogPixelsY(), 72);
  font.lfWeight = 400;
  const char face[] = "MS Shell Dlg";
  std::copy(std::begin(face), std::end(face), font.lfFaceName);
  return font;
}

}  // namespace

void CSettingDialog::CreateControls() {
  const LogFont logFont = DialogLogFont();
  setFont(FontFromLogFont(logFont));
  m_Grid.SetFont(logFont);  // what the dialog manager's WM_SETFONT gives every control
  setWindowTitle(QStringLiteral("监控设置"));
  // A modal frame with a caption and a system menu, no minimise or maximise. It opens at
  // the template's size and can grow from there, the grid taking the room.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  m_TemplateSize = DialogUnitsToPixels(BaseUnitsOf(font()), 0, 0, 387, 219).size();
  setMinimumSize(m_TemplateSize);
  resize(m_TemplateSize);

  m_btnOk.setText(QStringLiteral("确定"));
  m_btnOk.setDefault(true);
  m_btnCancel.setText(QStringLiteral("取消"));
  m_grpEndpoints.setTitle(QStringLiteral("IP端口设置"));
  m_btnAdd.setText(QStringLiteral("添加"));
  m_btnDelete.setText(QStringLiteral("删除"));
  m_grpOther.setTitle(QStringLiteral("其他设置"));
  m_lblInterval.setText(QStringLiteral("刷新间隔："));
  m_lblSeconds.setText(QStringLiteral("秒"));
  m_btnUp.setText(QStringLiteral("上移"));
  m_btnDown.setText(QStringLiteral("下移"));
  m_lblSound.setText(QStringLiteral("报警提示音："));
  for (QLabel* label : {&m_lblInterval, &m_lblSeconds, &m_lblSound}) {
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
  }
  m_cbSound.addItems({QStringLiteral("不发声"), QStringLiteral("PC喇叭发声"), QStringLiteral("选择声频文件…")});
  m_cbSound.setEditable(false);

  // In the template's tab order. The buttons beside the grid keep to the right edge, the
  // rows below it to the bottom edge; OK keeps its distance to the left, 取消 to the right.
  Place(m_btnOk, kIdOk, 115, 198, 50, 14, kBottom);
  Place(m_btnCancel, kIdCancel, 219, 198, 50, 14, kRight | kBottom);
  Place(m_grpEndpoints, kStatic, 7, 7, 372, 137, kWidth | kHeight);
  Place(m_Grid, IDC_GRID, 11, 17, 324, 123, kWidth | kHeight);
  Place(m_btnAdd, IDC_BUTTON_ADD, 341, 25, 27, 14, kRight);
  Place(m_btnDelete, IDC_BUTTON_DELETE, 341, 47, 27, 14, kRight);
  Place(m_grpOther, kStatic, 7, 148, 373, 42, kBottom | kWidth);
  Place(m_editRefresh, IDC_EDIT_REFRESH, 65, 165, 40, 14, kBottom);
  Place(m_lblInterval, kStatic, 19, 168, 41, 8, kBottom);
  Place(m_lblSeconds, kStatic, 112, 168, 9, 8, kBottom);
  Place(m_btnUp, IDC_BUTTON_UP, 342, 82, 27, 14, kRight);
  Place(m_btnDown, IDC_BUTTON_DOWN, 342, 103, 27, 14, kRight);
  Place(m_lblSound, kStatic, 170, 168, 49, 8, kBottom);
  Place(m_cbSound, IDC_COMBO_SOUND, 228, 164, 106, 30, kBottom);
  // The template's height of a drop-down list is that of its open list; closed, the
  // box is as tall as its font needs.
  m_cbSound.resize(m_cbSound.width(), m_cbSound.sizeHint().height());
  m_Placed.back().atTemplateSize = m_cbSound.geometry();  // the last control placed
  m_Grid.SetDlgCtrlID(IDC_GRID);

  // Group boxes only frame their neighbours: they sit below them and take no clicks.
  m_grpEndpoints.lower();
  m_grpOther.lower();
  QWidget* tabOrder[] = {&m_btnOk, &m_btnCancel, &m_Grid, &m_btnAdd, &m_btnDelete,
                         &m_editRefresh, &m_btnUp, &m_btnDown, &m_cbSound};
  for (size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
  for (QWidget* passive : {static_cast<QWidget*>(&m_grpEndpoints), static_cast<QWidget*>(&m_grpOther),
                           static_cast<QWidget*>(&m_lblInterval), static_cast<QWidget*>(&m_lblSeconds),
                           static_cast<QWidget*>(&m_lblSound)})
    passive->setFocusPolicy(Qt::NoFocus);
}

void CSettingDialog::Place(QWidget& control, int id, int x, int y, int width, int height, int follow) {
  control.raise();  // stacked in template order, as the dialog manager creates them
  control.setGeometry(DialogUnitsToPixels(BaseUnitsOf(font()), x, y, width, height));
  m_Placed.push_back({&control, control.geometry(), follow});
  if (id != kStatic) m_Controls[id] = &control;
}

void CSettingDialog::resizeEvent(QResizeEvent* event) {
  const QSize grown = size() - m_TemplateSize;
  for (const Placed& placed : m_Placed) {
    QRect at = placed.atTemplateSize;
    at.translate(placed.follow & kRight ? grown.width() : 0, placed.follow & kBottom ? grown.height() : 0);
    if (placed.follow & kWidth) at.setWidth(at.width() + grown.width());
    if (placed.follow & kHeight) at.setHeight(at.height() + grown.height());
    placed.control->setGeometry(at);
  }
  QDialog::resizeEvent(event);
}

}  // namespace kelvanor
