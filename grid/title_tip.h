#pragma once
// CTitleTip: the small top-most window that shows a clipped cell text in full, laid over
// the cell's own text. It never holds the pointer (a held pointer would swallow clicks
// meant for other windows): it learns that the pointer left from its own moves and leave
// events and from the grid's. Every click and key goes on to the window underneath, as if
// the tip were not there.
#include <QEvent>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <string>

#include "grid/grid_item.h"
#include "platform/gdi_dc.h"

namespace kelvanor {

class CTitleTip : public QWidget {
  Q_OBJECT

 public:
  CTitleTip();
  ~CTitleTip() override;

  // Remembers the window whose client coordinates ShowTip is given; true at once when
  // already created.
  bool Create(QWidget* parentWnd);
  // Rectangles in the parent's client coordinates, right and bottom inclusive. Shows the
  // tip only when " text " does not fit in titleRect; xOffset is not used.
  void ShowTip(const GdiRect& titleRect, const std::string& text, int xOffset, const GdiRect* hoverRect,
               const LogFont* font, COLORREF textColor, COLORREF backColor);
  void HideTip();
  // The pointer is now at this screen point: outside the hover rectangle the tip goes.
  void PointerMovedTo(QPoint global);
  bool DestroyWindow();
  bool IsCreated() const { return m_bCreated; }
  // Where the pointer may move without hiding the tip, in screen coordinates: the tip
  // where it lies over the hover rectangle.
  QRect HoverRect() const { return m_rcHover; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The window under a screen point once the tip is out of the way; the parent for the
  // tip itself.
  QWidget* WindowUnder(QPoint global) const;
  static void PostMouse(QWidget* target, QEvent::Type type, const QMouseEvent* event);
  // The moves and the release of a click begun on the tip, as the windows receive them;
  // true when the event was taken.
  bool FollowClick(QEvent* event);

  QPointer<QWidget> m_pParentWnd;
  QPointer<QWidget> m_pPressTarget;  // gets the rest of a click begun on the tip
  QRect m_rcHover;
  std::uint32_t m_dwLastLButtonDown = 0xFFFFFFFF;
  std::uint32_t m_dwDblClickMsecs;
  bool m_bCreated = false;
  QImage m_Image;  // the tip as drawn when shown
};

}  // namespace kelvanor
