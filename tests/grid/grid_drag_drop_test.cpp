// Drag-and-drop: the grid's own drag carried by real drag events to a drop point, and
// drags from elsewhere sent to the grid as the platform would send them.
#include <QDropEvent>
#include <QMimeData>

#include "grid_test_support.h"

namespace kelvanor::testing {
namespace {

class GridDragDropTest : public SpiedGridTest {
 protected:
  // Sends enter, move and drop at a point of the viewport as the platform does during a
  // drag; returns the drop's answer (IgnoreAction when refused). Takes the data.
  Qt::DropAction DeliverDrop(QMimeData* data, QPoint at, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    const std::unique_ptr<QMimeData> owned(data);
    QWidget* viewport = grid_->viewport();
    const Qt::DropActions allowed = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at, allowed, data, Qt::LeftButton, keys);
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(at, allowed, data, Qt::LeftButton, keys);
    QApplication::sendEvent(viewport, &move);
    QDropEvent drop(QPointF(at), allowed, data, Qt::LeftButton, keys);
    drop.setDropAction(move.dropAction());
    QApplication::sendEvent(viewport, &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
  }
  Qt::DropAction MoveOver(const QMimeData& data, QPoint at, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, keys);
    QApplication::sendEvent(grid_->viewport(), &move);
    return move.isAccepted() ? move.dropAction() : Qt::IgnoreAction;
  }
  static QMimeData* TextData(const char* text) {
    auto* data = new QMimeData;
    data->setText(QString::fromUtf8(text));
    return data;
  }
  bool Highlighted(int row, int col) const { return grid_->GetItemState(row, col) & CELL_DROPHILITED; }
};

TEST_F(GridDragDropTest, RegressionDropOnItsOwnGridKeepsTheDraggedText) {
  CGridCtrl& grid = Grid();
  grid.EnableDragAndDrop(true);
  grid.SetDragLoop([this](QMimeData* data, Qt::DropActions) { return DeliverDrop(data, At(5, 3)); });
  Press(At(1, 1));
  Drag(At(1, 2));
  Release(At(1, 2));
  Press(At(1, 2));  // on the selection: prepares a drag
  Drag(At(2, 2));   // moving starts it
  EXPECT_EQ(grid.GetItemText(1, 1), "1,1");
  EXPECT_EQ(grid.GetItemText(1, 2), "1,2");
  EXPECT_EQ(grid.GetItemText(5, 3), "5,3");
  EXPECT_EQ(grid.GetMouseMode(), MM_IDLE);
  EXPECT_FALSE(Highlighted(5, 3));
  ASSERT_FALSE(spy_.calls.empty());
  EXPECT_EQ(spy_.Codes().back(), GN_BEGINDRAG);
  EXPECT_EQ(spy_.calls.back().iRow, 1);
  EXPECT_EQ(spy_.calls.back().iColumn, 1);
}

TEST_F(GridDragDropTest, DragCarriesTheSelectionTextAndAMoveElsewhereClearsIt) {
  CGridCtrl& grid = Grid();
  grid.EnableDragAndDrop(true);
  std::string dragged;
  grid.SetDragLoop([&](QMimeData* data, Qt::DropActions allowed) {
    dragged = QStringToGbk(data->text());
    delete data;
    EXPECT_EQ(allowed, Qt::CopyAction | Qt::MoveAction);
    EXPECT_EQ(grid.GetMouseMode(), MM_DRAGGING);
    return Qt::MoveAction;  // another program took the text
  });
  Click(At(2, 1));
  Press(At(2, 1));
  Drag(At(2, 3));
  EXPECT_EQ(dragged, "2,1");
  EXPECT_EQ(grid.GetItemText(2, 1), "");
}

TEST_F(GridDragDropTest, DragIsNotStartedWhenDragAndDropIsOff) {
  CGridCtrl& grid = Grid();
  bool started = false;
  grid.SetDragLoop([&](QMimeData* data, Qt::DropActions) {
    delete data;
    started = true;
    return Qt::MoveAction;
  });
  Click(At(2, 1));
  Press(At(2, 1));
  Drag(At(2, 3));
  Release(At(2, 3));
  EXPECT_FALSE(started);
  EXPECT_EQ(grid.GetItemText(2, 1), "2,1");
}

TEST_F(GridDragDropTest, OutsideDropWithDragAndDropOffIsRefusedAndChangesNothing) {
  CGridCtrl& grid = Grid();
  auto data = std::unique_ptr<QMimeData>(TextData("x"));
  // Over a non-fixed cell the feedback is copy or move and the cell lights up.
  QDragEnterEvent enter(At(2, 2), Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(grid.viewport(), &enter);
  EXPECT_EQ(MoveOver(*data, At(3, 2)), Qt::MoveAction);
  EXPECT_TRUE(Highlighted(3, 2));
  EXPECT_EQ(MoveOver(*data, At(3, 3), Qt::ControlModifier), Qt::CopyAction);
  EXPECT_FALSE(Highlighted(3, 2));
  EXPECT_TRUE(Highlighted(3, 3));
  EXPECT_EQ(MoveOver(*data, At(0, 3)), Qt::IgnoreAction);  // a header cell
  EXPECT_FALSE(Highlighted(3, 3));
  EXPECT_EQ(DeliverDrop(data.release(), At(4, 2)), Qt::IgnoreAction);
  EXPECT_EQ(grid.GetItemText(4, 2), "4,2");
  EXPECT_FALSE(Highlighted(4, 2));
}

TEST_F(GridDragDropTest, OutsideDropWithDragAndDropOnIsTakenAsACopy) {
  CGridCtrl& grid = Grid();
  grid.EnableDragAndDrop(true);
  // Nothing is written, so the source must not delete what it dragged.
  EXPECT_EQ(DeliverDrop(TextData("x"), At(4, 2)), Qt::CopyAction);
  EXPECT_EQ(grid.GetItemText(4, 2), "4,2");
  EXPECT_FALSE(Highlighted(4, 2));
}

TEST_F(GridDragDropTest, DragEnterLightsOnlyEditableCellsForText) {
  CGridCtrl& grid = Grid();
  grid.EnableDragAndDrop(true);
  grid.SetItemState(2, 2, grid.GetItemState(2, 2) | CELL_READONLY);
  auto noText = std::make_unique<QMimeData>();
  noText->setData("application/octet-stream", "x");
  QDragEnterEvent onImage(At(1, 1), Qt::CopyAction, noText.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(grid.viewport(), &onImage);
  EXPECT_EQ(onImage.dropAction(), Qt::IgnoreAction);
  EXPECT_FALSE(Highlighted(1, 1));
  auto text = std::unique_ptr<QMimeData>(TextData("x"));
  QDragEnterEvent onReadOnly(At(2, 2), Qt::CopyAction, text.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(grid.viewport(), &onReadOnly);
  EXPECT_EQ(onReadOnly.dropAction(), Qt::IgnoreAction);
  EXPECT_FALSE(Highlighted(2, 2));
  QDragEnterEvent onEditable(At(3, 3), Qt::CopyAction | Qt::MoveAction, text.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(grid.viewport(), &onEditable);
  EXPECT_EQ(onEditable.dropAction(), Qt::MoveAction);
  EXPECT_TRUE(Highlighted(3, 3));
  QDragLeaveEvent leave;
  QApplication::sendEvent(grid.viewport(), &leave);
  EXPECT_FALSE(Highlighted(3, 3));
}

}  // namespace
}  // namespace kelvanor::testing
