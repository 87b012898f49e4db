#include "settings/dialog_units.h"

#include <QFontMetrics>
#include <cstdint>

namespace kelvanor {

DialogBaseUnits BaseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(letters / 26 + 1) / 2, metrics.height()};
}

int MulDiv(int a, int b, int c) {
  const std::int64_t product = static_cast<std::int64_t>(a) * b;
  const std::int64_t half = (c < 0 ? -c : c) / 2;
  // Widening the dividend away from zero widens the truncated quotient too, whatever
  // the divisor's sign.
  return static_cast<int>((product + (product < 0 ? -half : half)) / c);
}

QRect DialogUnitsToPixels(const DialogBaseUnits& units, int x, int y, int width, int height) {
  return QRect(MulDiv(x, units.cx, 4), MulDiv(y, units.cy, 8), MulDiv(width, units.cx, 4),
               MulDiv(height, units.cy, 8));
}

}  // namespace kelvanor
