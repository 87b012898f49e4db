// The settings dialog's template: dialog units to pixels, placement, texts and tab order.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

#include "settings/dialog_units.h"
#include "tests/settings/setting_dialog_fixture.h"

namespace kelvanor::test {
namespace {

TEST(DialogUnits, MulDivRoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDiv(5, 3, 2), 8);
  EXPECT_EQ(MulDiv(-5, 3, 2), -8);
  EXPECT_EQ(MulDiv(5, -3, 2), -8);
  EXPECT_EQ(MulDiv(1, 1, 3), 0);
  EXPECT_EQ(MulDiv(2, 1, 3), 1);
  EXPECT_EQ(MulDiv(100000, 100000, 100000), 100000);  // the product does not wrap
}

TEST(DialogUnits, FourHorizontalUnitsPerCharacterWidthAndEightVerticalPerHeight) {
  EXPECT_EQ(DialogUnitsToPixels({6, 13}, 115, 198, 50, 14), QRect(173, 322, 75, 23));
  EXPECT_EQ(DialogUnitsToPixels({7, 16}, 0, 0, 387, 219), QRect(0, 0, 677, 438));
}

using DialogLayoutTest = SettingDialogTest;

TEST_F(DialogLayoutTest, ControlsSitWhereTheTemplatePutsThemInDialogUnitsOfTheDialogFont) {
  CSettingDialog& dialog = Open();
  const DialogBaseUnits units = BaseUnitsOf(dialog.font());
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("监控设置"));
  EXPECT_EQ(dialog.size(), DialogUnitsToPixels(units, 0, 0, 387, 219).size());
  struct Placed {
    int id;
    const char8_t* text;
    QRect units;
  };
  const Placed controls[] = {
      {kIdOk, u8"确定", {115, 198, 50, 14}},          {kIdCancel, u8"取消", {219, 198, 50, 14}},
      {IDC_GRID, nullptr, {11, 17, 324, 123}},        {IDC_BUTTON_ADD, u8"添加", {341, 25, 27, 14}},
      {IDC_BUTTON_DELETE, u8"删除", {341, 47, 27, 14}}, {IDC_EDIT_REFRESH, nullptr, {65, 165, 40, 14}},
      {IDC_BUTTON_UP, u8"上移", {342, 82, 27, 14}},    {IDC_BUTTON_DOWN, u8"下移", {342, 103, 27, 14}},
  };
  for (const Placed& placed : controls) {
    QWidget* control = dialog.GetDlgItem(placed.id);
    ASSERT_NE(control, nullptr) << placed.id;
    const QRect& u = placed.units;
    EXPECT_EQ(control->geometry(), DialogUnitsToPixels(units, u.x(), u.y(), u.width(), u.height())) << placed.id;
    if (placed.text) {
      EXPECT_EQ(static_cast<QAbstractButton*>(control)->text(),
                QString::fromUtf8(reinterpret_cast<const char*>(placed.text)));
    }
  }
  const QRect combo = DialogUnitsToPixels(units, 228, 164, 106, 30);
  EXPECT_EQ(Sound().geometry().topLeft(), combo.topLeft());
  EXPECT_EQ(Sound().width(), combo.width());
  EXPECT_EQ(Sound().count(), 3);
  EXPECT_EQ(Sound().itemText(2), QStringLiteral("选择声频文件…"));
  QStringList labels;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
  EXPECT_TRUE(labels.contains(QStringLiteral("刷新间隔：")) && labels.contains(QStringLiteral("秒")) &&
              labels.contains(QStringLiteral("报警提示音：")));
  QStringList groups;
  for (const QGroupBox* group : dialog.findChildren<QGroupBox*>()) groups << group->title();
  EXPECT_EQ(groups.size(), 2);
  EXPECT_TRUE(groups.contains(QStringLiteral("IP端口设置")) && groups.contains(QStringLiteral("其他设置")));
}

TEST_F(DialogLayoutTest, TabWalksTheControlsInTemplateOrderStartingAtOk) {
  CSettingDialog& dialog = Open();
  dialog.activateWindow();
  const int order[] = {kIdOk, kIdCancel, IDC_GRID, IDC_BUTTON_ADD, IDC_BUTTON_DELETE, IDC_EDIT_REFRESH,
                       IDC_BUTTON_UP, IDC_BUTTON_DOWN, IDC_COMBO_SOUND, kIdOk};
  QWidget* control = dialog.GetDlgItem(kIdOk);
  EXPECT_EQ(dialog.focusWidget(), control);
  for (size_t i = 1; i < std::size(order); ++i) {
    QWidget* next = control->nextInFocusChain();
    while (next->focusPolicy() == Qt::NoFocus || !next->isVisible() || next == &dialog ||
           (next->parentWidget() != &dialog && next->parentWidget() != nullptr))
      next = next->nextInFocusChain();
    EXPECT_EQ(next, dialog.GetDlgItem(order[i])) << "after control " << order[i - 1];
    control = next;
  }
}

TEST_F(DialogLayoutTest, EnterRunsOkAndEscapeCancels) {
  CSettingDialog& dialog = Open();
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_FALSE(dialog.isVisible());
  dialog.show();
  QTest::keyClick(dialog.GetDlgItem(kIdOk), Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(std::filesystem::exists("setting.xml"));
}

}  // namespace
}  // namespace kelvanor::test
