// Text in and out of the grid: copy, cut, paste and Delete through the real clipboard,
// read back as GBK, and drag-and-drop carried by drag events as the platform sends them.
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>

#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

void PutOnClipboard(const std::string& gbk) { QGuiApplication::clipboard()->setText(GbkToQString(gbk)); }
std::string ClipboardBytes() { return QStringToGbk(QGuiApplication::clipboard()->text()); }
constexpr Qt::DropActions kCopyOrMove = Qt::CopyAction | Qt::MoveAction;

class GridClipboardTest : public GridTest {
 protected:
  // Sends one drag event to the viewport and returns its answer (IgnoreAction when refused).
  Qt::DropAction Send(QDropEvent&& event) {
    QApplication::sendEvent(grid_->viewport(), &event);
    return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
  }
  Qt::DropAction Over(const QMimeData& data, QPoint at, Qt::KeyboardModifiers keys = {}) {
    return Send(QDragMoveEvent(at, kCopyOrMove, &data, Qt::LeftButton, keys));
  }
  // Enter, move and drop of a text at one point, as the platform's drag loop sends them.
  Qt::DropAction DropText(const QString& text, QPoint at) {
    QMimeData data;
    data.setText(text);
    Send(QDragEnterEvent(at, kCopyOrMove, &data, Qt::LeftButton, {}));
    QDropEvent drop(at, kCopyOrMove, &data, Qt::LeftButton, {});
    drop.setDropAction(Over(data, at));
    return Send(std::move(drop));
  }
  bool Lit(int row, int col) const { return grid_->GetItemState(row, col) & CELL_DROPHILITED; }
  void DragFrom(QPoint at) {
    Click(at);
    Press(at);
    Drag(at + QPoint(5, 0));
  }
};

TEST_F(GridClipboardTest, CopyWritesTheSelectedBlockAsLinesOfTabbedFieldsThatOutliveTheGrid) {
  CGridCtrl& grid = Grid(10, true);
  PutOnClipboard("kept");
  grid.OnEditCopy();
  grid.OnEditCut();
  EXPECT_EQ(ClipboardBytes(), "kept");  // nothing selected
  grid.SetItemText(1, 1, Gbk(u8"名称"));
  grid.SetSelectedRange(1, 1, 2, 4);
  grid.SetItemState(1, 2, grid.GetItemState(1, 2) & ~CELL_SELECTED);  // a hole: an empty field
  grid.SetColumnWidth(3, 0);                                          // hidden: left out
  grid.SetFocusCell(1, 1);
  Key(Qt::Key_C, Qt::ControlModifier);
  const QPointer<const QMimeData> data = QGuiApplication::clipboard()->mimeData();
  grid_.reset();
  ASSERT_FALSE(data.isNull());
  EXPECT_EQ(ClipboardBytes(), Gbk(u8"名称") + "\t\t1,4\r\n2,1\t2,2\t2,4");
}

TEST_F(GridClipboardTest, CutCopiesAndDeleteDoesNotButBothClearOnlyEditableCells) {
  CGridCtrl& grid = Grid(10, true);
  for (int r : {1, 2}) AddState(r, 2, CELL_READONLY);
  grid.SetSelectedRange(1, 1, 1, 2);
  grid.SetFocusCell(1, 1);
  Key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(ClipboardBytes(), "1,1\t1,2");
  grid.SetSelectedRange(2, 1, 3, 2);
  Key(Qt::Key_Delete);
  EXPECT_EQ(ClipboardBytes(), "1,1\t1,2");
  std::vector<std::string> texts;
  for (int r = 1; r <= 3; ++r) texts.insert(texts.end(), {grid.GetItemText(r, 1), grid.GetItemText(r, 2)});
  EXPECT_EQ(texts, (std::vector<std::string>{"", "1,2", "", "2,2", "", ""}));  // read-only cells keep theirs
}

TEST_F(GridClipboardTest, PasteWritesTheFieldsFromTheTarget) {
  // Rows 1 .. 5 of 60 x 20 cells; row 3 and column 2 are hidden and cell (1, 3) is read-only.
  const std::tuple<std::string, CCellID, std::vector<std::pair<CCellID, std::string>>> pastes[] = {
      {"a,b\r\nc\td", {4, 3}, {{{4, 3}, "a"}, {{4, 4}, "b"}, {{5, 3}, "c"}, {{5, 4}, "d"}}},  // no CR left in "b"
      {Gbk(u8"  甲 ,,x,\t ") + "\n", {2, 1}, {{{2, 1}, Gbk(u8"甲")}, {{2, 3}, ""}, {{2, 4}, "x"}, {{4, 1}, "4,1"}}},
      {"a,b,c\nd\ne\nf\ng", {1, 1},  // hidden rows and columns and read-only cells are skipped
       {{{1, 1}, "a"}, {{1, 3}, "1,3"}, {{1, 4}, "c"}, {{2, 1}, "d"}, {{3, 1}, "3,1"}, {{4, 1}, "e"}, {{5, 1}, "f"}}},
      {"new", {1, 3}, {{{1, 3}, "1,3"}, {{1, 4}, "1,4"}}}};  // refused on a read-only target
  for (const auto& [text, target, expected] : pastes) {
    SCOPED_TRACE(text);
    CGridCtrl& grid = Grid(6, true);
    grid.SetRowHeight(3, 0);
    grid.SetColumnWidth(2, 0);
    AddState(1, 3, CELL_READONLY);
    grid.SetFocusCell(target);
    PutOnClipboard(text);
    Key(Qt::Key_V, Qt::ControlModifier);
    for (const auto& [at, want] : expected) EXPECT_EQ(grid.GetItemText(at.row, at.col), want) << at.row << at.col;
  }
}

TEST_F(GridClipboardTest, PasteSelectsTheWrittenBlockOrClearsTheSelectionOrGoesToTheOpenEditor) {
  CGridCtrl& grid = Grid(10, true);
  Click(At(2, 2));
  PutOnClipboard("1\t2\n3\t4");
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(std::pair(grid.GetSelectedCellRange(), grid.GetSelectedCount()), std::pair(CCellBlock(2, 2, 3, 3), 4));
  ASSERT_TRUE(grid.PasteFromClipboard({5, 1}, QGuiApplication::clipboard()->mimeData(), false));
  EXPECT_EQ(std::tuple(grid.GetItemText(6, 2), grid.GetSelectedCount()), std::tuple("4", 0));
  Click(At(1, 1));
  Key(Qt::Key_F2);
  PutOnClipboard(Gbk(u8"粘,贴"));
  grid.OnEditPaste();  // into the text being edited, not into the cells
  EXPECT_EQ(Editor()->text(), QString::fromUtf8(u8"1,1粘,贴"));
  EXPECT_EQ(grid.GetItemText(1, 2), "1,2");
}

TEST_F(GridClipboardTest, RegressionDropOnItsOwnGridKeepsTheDraggedText) {
  CGridCtrl& grid = Grid();
  grid.EnableDragAndDrop(true);
  grid.SetDragLoop([this](QMimeData* d, auto) { return DropText(std::unique_ptr<QMimeData>(d)->text(), At(5, 3)); });
  DragFrom(At(1, 1));
  EXPECT_EQ(std::tuple(grid.GetItemText(1, 1), grid.GetItemText(5, 3), grid.GetMouseMode(), Lit(5, 3)),
            std::tuple("1,1", "5,3", MM_IDLE, false));
  const GridNotify& drag = spy_.calls.back();
  EXPECT_EQ(std::tuple(drag.code, drag.iRow, drag.iColumn), std::tuple(GN_BEGINDRAG, 1, 1));
}

TEST_F(GridClipboardTest, DragCarriesTheSelectionTextAndAMoveElsewhereClearsIt) {
  CGridCtrl& grid = Grid();
  std::string dragged;
  grid.SetDragLoop([&](QMimeData* data, Qt::DropActions allowed) {
    dragged = QStringToGbk(std::unique_ptr<QMimeData>(data)->text());
    EXPECT_EQ(std::pair(allowed, grid.GetMouseMode()), std::pair(kCopyOrMove, MM_DRAGGING));
    return Qt::MoveAction;  // another program took the text
  });
  DragFrom(At(2, 1));
  Release(At(2, 1));
  EXPECT_EQ(std::pair(dragged, grid.GetItemText(2, 1)), std::pair(std::string(), std::string("2,1")));  // off
  grid.EnableDragAndDrop(true);
  DragFrom(At(2, 1));
  EXPECT_EQ(std::pair(dragged, grid.GetItemText(2, 1)), std::pair(std::string("2,1"), std::string()));
}

TEST_F(GridClipboardTest, DropsFromElsewhereLightEditableCellsAndAreTakenAsCopiesOnlyWhenOn) {
  CGridCtrl& grid = Grid();
  AddState(2, 2, CELL_READONLY);
  QMimeData text;
  text.setText("x");
  EXPECT_EQ(DropText("x", At(4, 2)), Qt::IgnoreAction);  // drag-and-drop is off
  grid.EnableDragAndDrop(true);
  EXPECT_EQ(Send(QDragEnterEvent(At(2, 2), kCopyOrMove, &text, Qt::LeftButton, {})), Qt::IgnoreAction);  // read-only
  EXPECT_EQ(Over(text, At(3, 3), Qt::ControlModifier), Qt::CopyAction);
  EXPECT_TRUE(!Lit(2, 2) && Lit(3, 3));
  EXPECT_EQ(Over(text, At(0, 3)), Qt::IgnoreAction);  // a header cell
  EXPECT_FALSE(Lit(3, 3));
  // Nothing is written, so the source must not delete what it dragged.
  EXPECT_EQ(DropText("x", At(4, 2)), Qt::CopyAction);
  EXPECT_EQ(std::pair(grid.GetItemText(4, 2), Lit(4, 2)), std::pair(std::string("4,2"), false));
}

}  // namespace
}  // namespace kelvanor::testing
