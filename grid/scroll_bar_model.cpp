#include "grid/scroll_bar_model.h"

#include <QSignalBlocker>
#include <algorithm>

namespace kelvanor {

namespace {
// Room to spare below INT_MAX so that Qt's own value + pageStep arithmetic never overflows.
constexpr std::int64_t kBarRange = 1 << 30;
}  // namespace

void ScrollBarModel::SetRange(std::int64_t max, std::int64_t page) {
  max_ = std::max<std::int64_t>(0, max);
  page_ = std::max<std::int64_t>(0, page);
  pos_ = std::clamp<std::int64_t>(pos_, 0, Limit());
}

std::int64_t ScrollBarModel::Limit() const { return max_ > 0 ? std::max<std::int64_t>(0, max_ - std::max<std::int64_t>(page_, 1) + 1) : 0; }

bool ScrollBarModel::SetPos(std::int64_t pos) {
  const std::int64_t clamped = std::clamp<std::int64_t>(pos, 0, Limit());
  if (clamped == pos_) return false;
  pos_ = clamped;
  return true;
}

std::int64_t ScrollBarModel::Scale() const { return Limit() / kBarRange + 1; }

void ScrollBarModel::ApplyTo(QScrollBar* bar) const {
  const QSignalBlocker block(bar);
  const std::int64_t scale = Scale();
  bar->setRange(0, static_cast<int>((Limit() + scale - 1) / scale));
  bar->setPageStep(static_cast<int>(std::max<std::int64_t>(1, page_ / scale)));
  bar->setSingleStep(std::max(1, static_cast<int>(20 / scale)));
  bar->setValue(BarValue(bar));
}

int ScrollBarModel::BarValue(const QScrollBar* bar) const {
  return pos_ == Limit() ? bar->maximum() : static_cast<int>(pos_ / Scale());
}

std::int64_t ScrollBarModel::FromBar(const QScrollBar* bar, int value) const {
  if (value >= bar->maximum()) return Limit();
  return std::min<std::int64_t>(Limit(), static_cast<std::int64_t>(value) * Scale());
}

}  // namespace kelvanor
