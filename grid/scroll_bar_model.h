#pragma once
// One scroll bar's range and position in pixels of scrollable content.
// Contract: 0 <= Pos() <= Limit() where Limit() = max(0, Max() - Page() + 1), the way the
// platform clamps a bar; the QScrollBar shows the same position scaled down when Limit()
// exceeds what its int range can hold, and its end always maps back to Limit().
#include <QScrollBar>
#include <cstdint>

namespace kelvanor {

class ScrollBarModel {
 public:
  void SetRange(std::int64_t max, std::int64_t page);
  std::int64_t Max() const { return max_; }
  std::int64_t Page() const { return page_; }
  std::int64_t Pos() const { return pos_; }
  std::int64_t Limit() const;
  // Clamps; returns whether the position changed.
  bool SetPos(std::int64_t pos);

  void ApplyTo(QScrollBar* bar) const;
  // The bar value that shows Pos().
  int BarValue(const QScrollBar* bar) const;
  std::int64_t FromBar(const QScrollBar* bar, int value) const;

 private:
  std::int64_t Scale() const;

  std::int64_t max_ = 0;
  std::int64_t page_ = 0;
  std::int64_t pos_ = 0;
};

}  // namespace kelvanor
