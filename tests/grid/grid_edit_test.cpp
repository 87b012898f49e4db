// In-place editing through real keys and clicks: opening, typing, cancelling, committing,
// moving on and refusals of every kind.
#include <QClipboard>
#include <QInputMethodEvent>

#include <functional>

#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

// A key that opens the editor, and whatever it leaves for the event loop.
void Open(Qt::Key key) {
  QTest::keyClick(QApplication::focusWidget(), key);
  QCoreApplication::processEvents();
}

using GridEditTest = GridTest;

TEST_F(GridEditTest, TypingReplacesTheTextEnterCommitsAndEscapeCancels) {
  CGridCtrl& grid = Grid(10, true);
  grid.SetFocusCell(2, 2);
  Open(Qt::Key_X);
  Type("yz");
  Key(Qt::Key_Return);
  EXPECT_EQ(grid.GetItemText(2, 2), "xyz");
  EXPECT_TRUE(grid.hasFocus());
  Open(Qt::Key_Q);
  Key(Qt::Key_Escape);  // the old text back, and no end-of-edit notification
  EXPECT_EQ(grid.GetItemText(2, 2), "xyz");
  EXPECT_EQ(spy_.Codes(), (std::vector<int>{GN_BEGINEDIT, GN_ENDEDIT, GN_BEGINEDIT}));
  for (const auto& [key, text, selected] :
       {std::tuple{Qt::Key_Backspace, "xy", ""}, {Qt::Key_F2, "xyz", ""}, {Qt::Key_Space, "xyz", "xyz"}}) {
    Open(key);
    EXPECT_EQ(std::pair(Editor()->text(), Editor()->selectedText()), std::pair(QString(text), QString(selected)));
    Key(Qt::Key_Escape);
  }
}

TEST_F(GridEditTest, MovingOnCommitsTypedEditsButArrowsMoveTheCaretInMouseEdits) {
  CGridCtrl& grid = Grid(60, true);
  grid.SetFocusCell(2, 4);
  Open(Qt::Key_A);
  Key(Qt::Key_Tab);  // commits, and edits the next cell, wrapping the row, its text selected
  EXPECT_EQ(grid.GetItemText(2, 4), "a");
  EXPECT_EQ(Editor()->selectedText(), "3,1");
  Type("b");
  Key(Qt::Key_Down);
  EXPECT_EQ(grid.GetItemText(3, 1), "b");
  Key(Qt::Key_Escape);
  Click(At(4, 1) - QPoint(20, 0));  // on the focus cell's text: edits on release
  Key(Qt::Key_Left);
  EXPECT_TRUE(grid.GetCell(4, 1)->IsEditing());
  Key(Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(grid.GetFocusCell(), CCellID(4, 2));
  Type("c");  // into the editor the arrow opened there
  grid.OnVScroll(SB_LINEDOWN);
  EXPECT_EQ(grid.GetItemText(4, 2), "c");
}

TEST_F(GridEditTest, TextTypedOnACellArrivesInOrderInOneEdit) {
  // Input-method commits ("(" only opens the editor), and keys already queued for the window.
  for (const auto& [commit, keys, text] : {std::tuple{u8"你好", "", u8"你好"}, {u8"(好", "", u8"好"}, {u8"", "xy", u8"xy"}}) {
    CGridCtrl& grid = Grid(10, true);
    grid.SetFocusCell(2, 2);
    QInputMethodEvent event;
    event.setCommitString(QString::fromUtf8(reinterpret_cast<const char*>(commit)));
    if (*commit) QApplication::sendEvent(&grid, &event);
    for (const char* k = keys; *k; ++k)
      QCoreApplication::postEvent(grid.windowHandle(), new QKeyEvent(QEvent::KeyPress, Qt::Key_A + *k - 'a', {}, QString(*k)));
    QCoreApplication::processEvents();
    Key(Qt::Key_Return);
    EXPECT_EQ(grid.GetItemText(2, 2), Gbk(text));
    EXPECT_EQ(spy_.Codes(), (std::vector<int>{GN_BEGINEDIT, GN_ENDEDIT}));
    spy_.calls.clear();
  }
}

// Cells that refuse every edited text, and such cells whose editor window cannot be made.
class RefusingCell : public CGridCell {
  bool VetEditText(const std::string&) override { return false; }
};
class NoEditorCell : public RefusingCell {
  CInPlaceEdit* CreateEditor(const GdiRect&, Qt::Alignment, unsigned, int, int, unsigned) override { return nullptr; }
};
const GridCellClass kNoEditorClass{"NoEditor", [] { return static_cast<CGridCellBase*>(new NoEditorCell); }};
const GridCellClass kRefusingClass{"Refusing", [] { return static_cast<CGridCellBase*>(new RefusingCell); }};

TEST_F(GridEditTest, NoKindOfEditChangesARefusedText) {
  using Refuse = std::function<void(CGridCtrl&, NotifySpy&)>;
  const std::tuple<const char*, const GridCellClass*, Refuse> refusals[] = {
      {"parent refuses to begin", &kGridCellClass, [](CGridCtrl&, NotifySpy& s) { s.answers[GN_BEGINEDIT] = -1; }},
      {"parent refuses the result", &kGridCellClass, [](CGridCtrl&, NotifySpy& s) { s.answers[GN_ENDEDIT] = -1; }},
      {"cell refuses the text", &kRefusingClass, [](CGridCtrl&, NotifySpy&) {}},
      {"no editor can be made", &kNoEditorClass, [](CGridCtrl&, NotifySpy&) {}},
      {"read-only cell", &kGridCellClass, [](CGridCtrl& g, NotifySpy&) { g.SetItemState(2, 2, CELL_READONLY); }},
      {"read-only grid", &kGridCellClass, [](CGridCtrl& g, NotifySpy&) { g.SetEditable(false); }}};
  QGuiApplication::clipboard()->setText("new");
  for (const auto& [name, cells, refuse] : refusals) {
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_N, Qt::NoModifier}, {Qt::Key_X, Qt::ControlModifier},
                                         {Qt::Key_V, Qt::ControlModifier}, {Qt::Key_Delete, Qt::NoModifier}}) {
      SCOPED_TRACE(::testing::Message() << name << ", key " << key);
      CGridCtrl& grid = MakeGrid();
      grid.SetCellClass(cells);
      grid.SetRowCount(4);
      grid.SetColumnCount(4);
      grid.SetItemText(2, 2, "old");
      Activate();
      spy_.answers.clear();
      refuse(grid, spy_);
      grid.SetSelectedRange(2, 2, 2, 2);
      grid.SetFocusCell(2, 2);
      Key(key, modifiers);  // typing, cut, paste or Delete
      QCoreApplication::processEvents();
      grid.StopEditing();
      EXPECT_EQ(grid.GetItemText(2, 2), "old");
      EXPECT_FALSE(grid.GetCell(2, 2)->IsEditing());
    }
  }
}

}  // namespace
}  // namespace kelvanor::testing
