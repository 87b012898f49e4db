// The operator working in the dialog's grid with mouse and keyboard: selecting a row by
// clicking, typing into cells, and the keys that end an edit staying inside the grid.
#include <QApplication>

#include "tests/settings/setting_dialog_fixture.h"

namespace kelvanor::test {
namespace {

class DialogEditingTest : public SettingDialogTest {
 protected:
  // Keys go to the focus widget, which needs an active window.
  CSettingDialog& OpenActive() {
    CSettingDialog& dialog = Open();
    dialog.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    return dialog;
  }
  void ClickCell(int row, int col) {
    GdiRect rect;
    ASSERT_TRUE(Grid().GetCellRect(row, col, &rect));
    const QPoint centre((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, Qt::NoModifier, centre);
  }
  // One key at a time to whatever has the focus, with the event loop between keys as
  // when typing: the first key opens the editor, which types it on the next loop turn.
  static void Type(const char* text) {
    for (const char* c = text; *c; ++c) {
      ASSERT_NE(QApplication::focusWidget(), nullptr);
      QTest::keyClicks(QApplication::focusWidget(), QString(QChar(*c)));
      QCoreApplication::processEvents();
    }
  }
  static void Key(Qt::Key key) {
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), key);
  }
};

TEST_F(DialogEditingTest, AClickedRowMovesUpWithItsSelection) {
  setting.Append(IPInfo("a", 1, ""));
  setting.Append(IPInfo("b", 2, ""));
  Open();
  ClickCell(2, 2);
  ASSERT_TRUE(Grid().IsCellSelected(2, 2));
  Click(IDC_BUTTON_UP);
  EXPECT_EQ(Grid().GetItemText(1, 1), "b");
  EXPECT_EQ(Grid().GetItemText(2, 1), "a");
  EXPECT_TRUE(Grid().IsCellSelected(1, 2));
  EXPECT_FALSE(Grid().IsCellSelected(2, 2));
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(DialogEditingTest, TypedCellsReachTheRecordAndEnterOrEscapeInAnEditorLeaveTheDialogOpen) {
  CSettingDialog& dialog = OpenActive();
  Click(IDC_BUTTON_ADD);
  ClickCell(1, 1);
  Type("127.0.0.1");
  Key(Qt::Key_Return);
  EXPECT_TRUE(dialog.isVisible());
  ClickCell(1, 3);
  Type("gone");
  Key(Qt::Key_Escape);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(Grid().GetItemText(1, 3), "");
  ClickCell(1, 2);
  Type("8080");
  Click(kIdOk);  // leaving the editor for the OK button keeps what was typed
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  ASSERT_EQ(setting.ipList.size(), 1u);
  EXPECT_EQ(setting.ipList[0].ip, "127.0.0.1");
  EXPECT_EQ(setting.ipList[0].port, 8080);
}

}  // namespace
}  // namespace kelvanor::test
