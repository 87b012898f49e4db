// Drag-and-drop: the grid's own drag carried by real drag events to a drop point, and
// drags from elsewhere sent to the grid as the platform would send them.
#include <QDropEvent>
#include <QMimeData>

#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

constexpr Qt::DropActions kCopyOrMove = Qt::CopyAction | Qt::MoveAction;

class GridDragDropTest : public GridTest {
 protected:
  // Each sends one drag event to the viewport as the platform does, and returns its answer
  // (IgnoreAction when refused).
  Qt::DropAction Enter(const QMimeData& data, QPoint at, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QDragEnterEvent event(at, kCopyOrMove, &data, Qt::LeftButton, keys);
    return Answer(event);
  }
  Qt::DropAction Over(const QMimeData& data, QPoint at, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QDragMoveEvent event(at, kCopyOrMove, &data, Qt::LeftButton, keys);
    return Answer(event);
  }
  Qt::DropAction Drop(const QMimeData& data, QPoint at, Qt::DropAction action) {
    QDropEvent event(QPointF(at), kCopyOrMove, &data, Qt::LeftButton, Qt::NoModifier);
    event.setDropAction(action);
    return Answer(event);
  }
  Qt::DropAction Answer(QDropEvent& event) {
    QApplication::sendEvent(grid_->viewport(), &event);
    return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
  }
  // Enter, move and drop at one point; takes the data.
  Qt::DropAction DeliverDrop(QMimeData* data, QPoint at) {
    const std::unique_ptr<QMimeData> owned(data);
    Enter(*data, at);
    return Drop(*data, at, Over(*data, at));
  }
  static std::unique_ptr<QMimeData> Text(const char* text) {
    auto data = std::make_unique<QMimeData>();
    data->setText(text);
    return data;
  }
  bool Lit(int row, int col) const { return grid_->GetItemState(row, col) & CELL_DROPHILITED; }
  // Selects cell (r, c) by a click, then presses on it again and moves: that starts a drag.
  void DragFrom(int r, int c) {
    Click(At(r, c));
    Press(At(r, c));
    Drag(At(r, c) + QPoint(5, 0));
  }
};

TEST_F(GridDragDropTest, RegressionDropOnItsOwnGridKeepsTheDraggedText) {
  CGridCtrl& grid = Grid();
  grid.EnableDragAndDrop(true);
  grid.SetDragLoop([this](QMimeData* data, Qt::DropActions) { return DeliverDrop(data, At(5, 3)); });
  DragFrom(1, 1);
  EXPECT_EQ(grid.GetItemText(1, 1), "1,1");
  EXPECT_EQ(grid.GetItemText(5, 3), "5,3");
  EXPECT_EQ(grid.GetMouseMode(), MM_IDLE);
  EXPECT_FALSE(Lit(5, 3));
  EXPECT_EQ(spy_.Codes().back(), GN_BEGINDRAG);
  EXPECT_EQ(std::pair(spy_.calls.back().iRow, spy_.calls.back().iColumn), std::pair(1, 1));
}

TEST_F(GridDragDropTest, DragCarriesTheSelectionTextAndAMoveElsewhereClearsIt) {
  CGridCtrl& grid = Grid();
  std::string dragged;
  grid.SetDragLoop([&](QMimeData* data, Qt::DropActions allowed) {
    dragged = QStringToGbk(data->text());
    delete data;
    EXPECT_EQ(allowed, kCopyOrMove);
    EXPECT_EQ(grid.GetMouseMode(), MM_DRAGGING);
    return Qt::MoveAction;  // another program took the text
  });
  DragFrom(2, 1);
  Release(At(2, 1));
  EXPECT_EQ(dragged, "");  // drag-and-drop is off
  EXPECT_EQ(grid.GetItemText(2, 1), "2,1");
  grid.EnableDragAndDrop(true);
  DragFrom(2, 1);
  EXPECT_EQ(dragged, "2,1");
  EXPECT_EQ(grid.GetItemText(2, 1), "");
}

TEST_F(GridDragDropTest, DropsFromElsewhereLightEditableCellsAndAreTakenAsCopiesOnlyWhenOn) {
  CGridCtrl& grid = Grid();
  AddState(2, 2, CELL_READONLY);
  const auto text = Text("x");
  EXPECT_EQ(Enter(*text, At(3, 2)), Qt::IgnoreAction);  // drag-and-drop is off
  EXPECT_EQ(DeliverDrop(Text("x").release(), At(4, 2)), Qt::IgnoreAction);
  grid.EnableDragAndDrop(true);
  QMimeData noText;
  noText.setData("application/octet-stream", "x");
  EXPECT_EQ(Enter(noText, At(1, 1)), Qt::IgnoreAction);
  EXPECT_EQ(Enter(*text, At(2, 2)), Qt::IgnoreAction);
  EXPECT_FALSE(Lit(1, 1) || Lit(2, 2));
  EXPECT_EQ(Enter(*text, At(3, 2)), Qt::MoveAction);
  EXPECT_TRUE(Lit(3, 2));
  EXPECT_EQ(Over(*text, At(3, 3), Qt::ControlModifier), Qt::CopyAction);
  EXPECT_TRUE(!Lit(3, 2) && Lit(3, 3));
  EXPECT_EQ(Over(*text, At(0, 3)), Qt::IgnoreAction);  // a header cell
  EXPECT_FALSE(Lit(3, 3));
  QDragLeaveEvent leave;
  QApplication::sendEvent(grid.viewport(), &leave);
  // Nothing is written, so the source must not delete what it dragged.
  EXPECT_EQ(DeliverDrop(Text("x").release(), At(4, 2)), Qt::CopyAction);
  EXPECT_EQ(grid.GetItemText(4, 2), "4,2");
  EXPECT_FALSE(Lit(4, 2));
}

}  // namespace
}  // namespace kelvanor::testing
