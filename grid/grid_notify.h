#pragma once
// What the grid tells the window that owns it: the record of one notification, its codes,
// and the handler interface that stands in for WM_NOTIFY (the returned int matters).
#include "grid/grid_item.h"

namespace kelvanor {

class CGridCtrl;

enum : int {
  NM_CLICK = -2,
  NM_DBLCLK = -3,
  NM_RCLICK = -5,
  GN_SELCHANGING = -100,
  GN_SELCHANGED = -101,
  GN_BEGINEDIT = -105,
  GN_ENDEDIT = -106,
  GN_BEGINDRAG = -109,
};

struct GridNotify {
  CGridCtrl* hwndFrom = nullptr;
  unsigned idFrom = 0;
  int code = 0;
  int iRow = -1;
  int iColumn = -1;
};

// The end-of-edit record the in-place editor hands to its grid.
struct GridDispInfo {
  unsigned idFrom = 0;
  int code = 0;
  GRIDITEM item;
};

class GridNotifyHandler {
 public:
  virtual ~GridNotifyHandler() = default;
  // A notification sent at once; GN_BEGINEDIT and GN_ENDEDIT act on a negative result.
  virtual int OnGridNotify(const GridNotify& notify) = 0;
  // The click command posted (queued) after a left-button release on a valid cell.
  virtual void OnGridCommand(CGridCtrl* /*grid*/, unsigned /*ctrlId*/) {}
};

}  // namespace kelvanor
