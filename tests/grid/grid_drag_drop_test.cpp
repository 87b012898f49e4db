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
  // Sends one drag event to the viewport and returns its answer (IgnoreAction when refused).
  Qt::DropAction Send(QDropEvent&& event) {
    QApplication::sendEvent(grid_->viewport(), &event);
    return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
  }
  Qt::DropAction Enter(const QMimeData& data, QPoint at) { return Send(QDragEnterEvent(at, kCopyOrMove, &data, Qt::LeftButton, {})); }
  Qt::DropAction Over(const QMimeData& data, QPoint at, Qt::KeyboardModifiers keys = {}) {
    return Send(QDragMoveEvent(at, kCopyOrMove, &data, Qt::LeftButton, keys));
  }
  // Enter, move and drop at one point of text data, as the platform's drag loop does.
  Qt::DropAction DropText(const QString& text, QPoint at) {
    QMimeData data;
    data.setText(text);
    Enter(data, at);
    QDropEvent drop(at, kCopyOrMove, &data, Qt::LeftButton, {});
    drop.setDropAction(Over(data, at));
    return Send(std::move(drop));
  }
  bool Lit(int row, int col) const { return grid_->GetItemState(row, col) & CELL_DROPHILITED; }
  // Selects a cell by a click, then presses on it again and moves: that starts a drag.
  void DragFrom(QPoint at) {
    Click(at);
    Press(at);
    Drag(at + QPoint(5, 0));
  }
};

TEST_F(GridDragDropTest, RegressionDropOnItsOwnGridKeepsTheDraggedText) {
  CGridCtrl& grid = Grid();
  grid.EnableDragAndDrop(true);
  grid.SetDragLoop([this](QMimeData* data, Qt::DropActions) { return DropText(std::unique_ptr<QMimeData>(data)->text(), At(5, 3)); });
  DragFrom(At(1, 1));
  EXPECT_EQ(std::tuple(grid.GetItemText(1, 1), grid.GetItemText(5, 3), grid.GetMouseMode(), Lit(5, 3)),
            std::tuple(std::string("1,1"), std::string("5,3"), MM_IDLE, false));
  EXPECT_EQ(std::tuple(spy_.Codes().back(), spy_.calls.back().iRow, spy_.calls.back().iColumn), std::tuple(GN_BEGINDRAG, 1, 1));
}

TEST_F(GridDragDropTest, DragCarriesTheSelectionTextAndAMoveElsewhereClearsIt) {
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

TEST_F(GridDragDropTest, DropsFromElsewhereLightEditableCellsAndAreTakenAsCopiesOnlyWhenOn) {
  CGridCtrl& grid = Grid();
  AddState(2, 2, CELL_READONLY);
  QMimeData text, noText;
  text.setText("x");
  noText.setData("application/octet-stream", "x");
  EXPECT_EQ(Enter(text, At(3, 2)), Qt::IgnoreAction);  // drag-and-drop is off
  EXPECT_EQ(DropText("x", At(4, 2)), Qt::IgnoreAction);
  grid.EnableDragAndDrop(true);
  EXPECT_EQ(Enter(noText, At(1, 1)), Qt::IgnoreAction);
  EXPECT_EQ(Enter(text, At(2, 2)), Qt::IgnoreAction);
  EXPECT_FALSE(Lit(1, 1) || Lit(2, 2));
  EXPECT_EQ(Enter(text, At(3, 2)), Qt::MoveAction);
  EXPECT_TRUE(Lit(3, 2));
  EXPECT_EQ(Over(text, At(3, 3), Qt::ControlModifier), Qt::CopyAction);
  EXPECT_TRUE(!Lit(3, 2) && Lit(3, 3));
  EXPECT_EQ(Over(text, At(0, 3)), Qt::IgnoreAction);  // a header cell
  EXPECT_FALSE(Lit(3, 3));
  // Nothing is written, so the source must not delete what it dragged.
  EXPECT_EQ(DropText("x", At(4, 2)), Qt::CopyAction);
  EXPECT_EQ(std::pair(grid.GetItemText(4, 2), Lit(4, 2)), std::pair(std::string("4,2"), false));
}

}  // namespace
}  // namespace kelvanor::testing
