#pragma once
// Dialog units -> pixels, computed from the dialog font the way the Windows dialog
// manager does, so a dialog laid out in dialog units keeps its proportions.
#include <QFont>
#include <QRect>

namespace kelvanor {

struct DialogBaseUnits {
  int cx;  // average character width of the dialog font, pixels
  int cy;  // character cell height of the dialog font, pixels
};

// The average width comes from the 52 Latin letters, rounded as the dialog manager does.
DialogBaseUnits BaseUnitsOf(const QFont& font);

// a * b / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c);

// A control rectangle in dialog units (x, y, width, height): 4 horizontal units per
// average character width, 8 vertical units per character height.
QRect DialogUnitsToPixels(const DialogBaseUnits& units, int x, int y, int width, int height);

}  // namespace kelvanor
