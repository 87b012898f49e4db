// The settings dialog's template: dialog units to pixels, each control's text and place,
// and the edges each control keeps to as the dialog grows.
#include <cstring>

#include "settings/dialog_units.h"
#include "tests/settings/setting_dialog_fixture.h"

namespace kelvanor::test {
namespace {

TEST(DialogUnits, AreQuartersAndEighthsOfTheFontRoundedHalfAwayFromZero) {
  EXPECT_EQ(DialogUnitsToPixels({6, 13}, 115, 198, 50, 14), QRect(173, 322, 75, 23));
  EXPECT_EQ(DialogUnitsToPixels({-6, 13}, 2, 0, 1, 0), QRect(-3, 0, -2, 0));
  EXPECT_EQ(MulDiv(100000, 100000, -100000), -100000);  // the product does not wrap
}

// The control showing `text` as its caption, title or label.
QWidget* ByText(const QWidget& dialog, const char* text) {
  for (QWidget* w : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (w->property("text").toString() == text || w->property("title").toString() == text) return w;
  return nullptr;
}

using DialogLayoutTest = SettingDialogTest;

// The dialog opens at the template's size and grows but never shrinks from it; the grid
// and its frame take the room it grows by.
TEST_F(DialogLayoutTest, EveryControlShowsItsTextWhereTheTemplatePutsItAndKeepsToItsEdges) {
  CSettingDialog& dialog = Open();
  const DialogBaseUnits units = BaseUnitsOf(dialog.font());
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("监控设置"));
  const QSize opened = DialogUnitsToPixels(units, 0, 0, 387, 219).size();
  EXPECT_EQ(dialog.size(), opened);
  EXPECT_EQ(dialog.minimumSize(), opened);
  const struct {
    int id;  // 0 for a control no handler refers to
    const char* text;
    int x, y, width, height;
    const char* follows;  // moves with the right (x) or bottom (y) edge, or grows in width (w) or height (h)
  } controls[] = {
      {kIdOk, "确定", 115, 198, 50, 14, "y"},         {kIdCancel, "取消", 219, 198, 50, 14, "xy"},
      {0, "IP端口设置", 7, 7, 372, 137, "wh"},          {IDC_GRID, nullptr, 11, 17, 324, 123, "wh"},
      {IDC_BUTTON_ADD, "添加", 341, 25, 27, 14, "x"}, {IDC_BUTTON_DELETE, "删除", 341, 47, 27, 14, "x"},
      {0, "其他设置", 7, 148, 373, 42, "yw"},           {IDC_EDIT_REFRESH, nullptr, 65, 165, 40, 14, "y"},
      {0, "刷新间隔：", 19, 168, 41, 8, "y"},            {0, "秒", 112, 168, 9, 8, "y"},
      {IDC_BUTTON_UP, "上移", 342, 82, 27, 14, "x"},  {IDC_BUTTON_DOWN, "下移", 342, 103, 27, 14, "x"},
      {0, "报警提示音：", 170, 168, 49, 8, "y"},          {IDC_COMBO_SOUND, nullptr, 228, 164, 106, 30, "y"},
  };
  const auto expectPlaced = [&](QSize grown) {
    for (const auto& c : controls) {
      SCOPED_TRACE(c.text ? c.text : std::to_string(c.id));
      QWidget* control = c.text ? ByText(dialog, c.text) : dialog.GetDlgItem(c.id);
      ASSERT_NE(control, nullptr);
      if (c.id) {
        EXPECT_EQ(control, dialog.GetDlgItem(c.id));
      }
      QRect expected = DialogUnitsToPixels(units, c.x, c.y, c.width, c.height);
      // A closed drop-down list is as tall as its font needs; the template gives its open height.
      if (c.id == IDC_COMBO_SOUND) expected.setHeight(control->sizeHint().height());
      const auto has = [&](char edge) { return std::strchr(c.follows, edge) != nullptr; };
      expected.translate(has('x') ? grown.width() : 0, has('y') ? grown.height() : 0);
      expected.adjust(0, 0, has('w') ? grown.width() : 0, has('h') ? grown.height() : 0);
      EXPECT_EQ(control->geometry(), expected);
    }
  };
  expectPlaced({0, 0});
  dialog.resize(opened + QSize(200, 120));
  expectPlaced({200, 120});
  dialog.resize(opened - QSize(50, 50));
  EXPECT_EQ(dialog.size(), opened);
  expectPlaced({0, 0});
  QStringList sounds;
  for (int i = 0; i < Sound().count(); ++i) sounds << Sound().itemText(i);
  EXPECT_EQ(sounds.join('|'), QStringLiteral("不发声|PC喇叭发声|选择声频文件…"));
}

TEST_F(DialogLayoutTest, TabVisitsTheControlsInTheTemplatesOrderAndSkipsLabels) {
  CSettingDialog& dialog = Open();
  const std::vector<int> ids = {kIdOk, kIdCancel, IDC_GRID, IDC_BUTTON_ADD, IDC_BUTTON_DELETE,
                                IDC_EDIT_REFRESH, IDC_BUTTON_UP, IDC_BUTTON_DOWN, IDC_COMBO_SOUND};
  std::vector<int> visited;
  for (QWidget* w = Item(kIdOk); visited.size() < ids.size(); w = w->nextInFocusChain()) {
    if (w->parentWidget() != &dialog || !(w->focusPolicy() & Qt::TabFocus)) continue;
    const auto id = std::find_if(ids.begin(), ids.end(), [&](int i) { return Item(i) == w; });
    visited.push_back(id == ids.end() ? -1 : *id);  // -1: a control that should take no Tab
  }
  EXPECT_EQ(visited, ids);
}

}  // namespace
}  // namespace kelvanor::test
