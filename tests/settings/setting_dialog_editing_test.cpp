// The operator working in the dialog's grid with mouse and keyboard: a clicked row moves,
// typed cells reach the record, and the keys that end an edit stay inside the grid.
#include <QApplication>

#include "tests/settings/setting_dialog_fixture.h"

namespace kelvanor::test {
namespace {

class DialogEditingTest : public SettingDialogTest {
 protected:
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

TEST_F(DialogEditingTest, AClickedRowMovesAndTypedCellsReachTheRecordWhileEnterOrEscapeInAnEditorKeepTheDialog) {
  setting.Append(IPInfo("a", 1, ""));
  setting.Append(IPInfo("b", 2, ""));
  CSettingDialog& dialog = Open();
  dialog.activateWindow();  // keys go to the focus widget, which needs an active window
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  ClickCell(2, 2);
  Click(IDC_BUTTON_UP);
  EXPECT_EQ(Column(1), (std::vector<std::string>{"b", "a"}));
  EXPECT_TRUE(Grid().IsCellSelected(1, 2));
  EXPECT_FALSE(Grid().IsCellSelected(2, 2));

  Click(IDC_BUTTON_ADD);
  ClickCell(3, 1);
  Type("127.0.0.1");
  Key(Qt::Key_Return);
  EXPECT_TRUE(dialog.isVisible());
  ClickCell(3, 3);
  Type("gone");
  Key(Qt::Key_Escape);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(Grid().GetItemText(3, 3), "");
  ClickCell(3, 2);
  Type("8080");
  Click(kIdOk);  // leaving the editor for the OK button keeps what was typed
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  ASSERT_EQ(setting.ipList.size(), 3u);
  EXPECT_EQ(setting.ipList[0].ip, "b");
  EXPECT_EQ(setting.ipList[2].ip, "127.0.0.1");
  EXPECT_EQ(setting.ipList[2].port, 8080);
  EXPECT_TRUE(boxes.calls.empty());
}

}  // namespace
}  // namespace kelvanor::test
