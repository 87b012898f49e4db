#pragma once
// Vertical scrolling of a board painted on a widget: a scroll bar along the widget's right
// edge, shown only while the tiles need more height than the widget has. The tiles then
// lay out on the width left beside it; while they fit, nothing differs from a board
// without one.
#include <QObject>
#include <QScrollBar>
#include <cstddef>

class QWidget;
class QWheelEvent;

namespace kelvanor {

class BoardScroller : public QObject {
  Q_OBJECT
 public:
  explicit BoardScroller(QWidget* board);

  // Lays `count` tiles out at the widget's present size; the tile that was first in view
  // stays in view.
  void Relayout(std::size_t count);

  int Offset() const { return bar_->isHidden() ? 0 : bar_->value(); }
  // The right edge the tiles lay out against.
  int ClientRight() const { return clientRight_; }
  std::size_t FirstVisibleTile() const;
  // Scrolls so that the tile's row is the top one, as far as the range allows.
  void ScrollToTile(std::size_t index);

  // Page Up/Down, Home/End and the up and down arrows scroll; false for any other key.
  bool HandleKey(int key);
  void HandleWheel(QWheelEvent* e);

 signals:
  void Scrolled();

 private:
  // How far the row of tile `index` is below the first row.
  int RowTop(std::size_t index) const;

  QWidget* board_;
  QScrollBar* bar_;
  int clientRight_;
};

}  // namespace kelvanor
