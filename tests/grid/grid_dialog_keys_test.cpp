// The grid among other controls of a dialog: which Tab keys it keeps, the focus cell it
// shows when the keyboard focus comes to it, and Enter and Escape left to the dialog.
#include <QDialog>
#include <QPushButton>
#include <QVBoxLayout>

#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

// A dialog with a button before and a default one after a 10 x 5 grid.
class GridDialogKeysTest : public GridTest {
 protected:
  void SetUp() override {
    GridTest::SetUp();
    auto* layout = new QVBoxLayout(&dialog_);
    layout->addWidget(&before_);
    layout->addWidget(&inDialog_);
    layout->addWidget(&after_);
    after_.setDefault(true);
    QObject::connect(&after_, &QPushButton::clicked, &dialog_, &QDialog::accept);
    ShowDialog();
  }
  void ShowDialog() {
    dialog_.show();
    dialog_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog_));
  }
  void KeyOnWindow(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(dialog_.windowHandle(), key, modifiers);
  }

  QDialog dialog_;
  QPushButton before_{"before"};
  CGridCtrl inDialog_{nullptr, 10, 5, 1, 1};
  QPushButton after_{"after"};
};

TEST_F(GridDialogKeysTest, TheGridKeepsTabButCtrlTabMovesToTheNextOrPreviousControl) {
  const std::tuple<Qt::Key, Qt::KeyboardModifiers, QWidget*, CCellID> presses[] = {
      {Qt::Key_Tab, Qt::NoModifier, &inDialog_, {2, 3}},
      {Qt::Key_Tab, Qt::ControlModifier, &after_, {2, 2}},
      {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, &before_, {2, 2}}};
  for (const auto& [key, modifiers, focus, cell] : presses) {
    SCOPED_TRACE(::testing::Message() << "key " << key << " modifiers " << modifiers);
    inDialog_.setFocus();
    inDialog_.SetFocusCell(2, 2);
    KeyOnWindow(key, modifiers);
    EXPECT_EQ(std::pair(QApplication::focusWidget(), inDialog_.GetFocusCell()), std::pair(focus, cell));
  }
}

TEST_F(GridDialogKeysTest, TabbingIntoTheGridFocusesItsFirstShownCellSoTypingOrF2EditsIt) {
  const std::tuple<bool, Qt::Key, CCellID, QString> cases[] = {
      {false, Qt::Key_A, {1, 1}, "a"}, {false, Qt::Key_F2, {1, 1}, "old"}, {true, Qt::Key_A, {2, 2}, "a"}};
  for (const auto& [firstHidden, key, cell, text] : cases) {
    SCOPED_TRACE(::testing::Message() << "first row and column hidden " << firstHidden << ", key " << key);
    inDialog_.SetFocusCell(-1, -1);
    if (firstHidden) {  // the last case
      inDialog_.SetRowHeight(1, 0);
      inDialog_.SetColumnWidth(1, 0);
    }
    inDialog_.SetItemText(cell.row, cell.col, "old");
    before_.setFocus();
    KeyOnWindow(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), &inDialog_);
    EXPECT_EQ(inDialog_.GetFocusCell(), cell);
    KeyOnWindow(key);
    ASSERT_TRUE(Editor());
    EXPECT_EQ(Editor()->text(), text);
    inDialog_.StopEditing();
  }
}

TEST_F(GridDialogKeysTest, EnterAcceptsAndEscapeRejectsTheDialogWithoutEditing) {
  for (auto [key, result] : {std::pair{Qt::Key_Return, QDialog::Accepted}, {Qt::Key_Escape, QDialog::Rejected}}) {
    ShowDialog();
    dialog_.setResult(-1);  // neither answer yet
    inDialog_.setFocus();
    inDialog_.SetFocusCell(2, 2);
    KeyOnWindow(key);
    EXPECT_EQ(dialog_.result(), result);
    EXPECT_FALSE(inDialog_.GetCell(2, 2)->IsEditing());
  }
}

}  // namespace
}  // namespace kelvanor::testing
