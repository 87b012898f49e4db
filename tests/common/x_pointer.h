#pragma once
// The X server's own pointer, moved and clicked through the XTEST extension, so that the
// server routes each event as it would the operator's: to whichever window holds the
// pointer. Uses the display named by DISPLAY.
#include <xcb/xcb.h>
#include <xcb/xcbext.h>
#include <sys/uio.h>

#include <QPoint>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace kelvanor::testing {

class XPointer {
 public:
  XPointer() : connection_(xcb_connect(nullptr, nullptr)) {}
  ~XPointer() { xcb_disconnect(connection_); }
  XPointer(const XPointer&) = delete;

  bool IsConnected() const { return !xcb_connection_has_error(connection_); }
  void MoveTo(QPoint global) { FakeInput(kMotionNotify, 0, global); }
  void Click() {
    FakeInput(kButtonPress, 1);
    FakeInput(kButtonRelease, 1);
  }
  // Whether no window holds the pointer: another client could take it now.
  bool IsFree() {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    const auto cookie = xcb_grab_pointer(connection_, 0, root, 0, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE,
                                         XCB_NONE, XCB_CURRENT_TIME);
    xcb_grab_pointer_reply_t* reply = xcb_grab_pointer_reply(connection_, cookie, nullptr);
    const bool free = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
    std::free(reply);
    if (free) xcb_ungrab_pointer(connection_, XCB_CURRENT_TIME);
    xcb_flush(connection_);
    return free;
  }

 private:
  enum : std::uint8_t { kButtonPress = 4, kButtonRelease = 5, kMotionNotify = 6 };

  // Sends one FakeInput request and waits until the server has taken it.
  void FakeInput(std::uint8_t type, std::uint8_t detail, QPoint at = {}) {
    static xcb_extension_t xtest{"XTEST", 0};
    static const xcb_protocol_request_t request{2, &xtest, 2 /* FakeInput */, 1};
    // Its 36 bytes past the four xcb fills in: type, detail (the button; 0 for an absolute
    // motion), time, root window, then the root coordinates at byte 24 and the device.
    std::uint8_t body[36] = {0, 0, 0, 0, type, detail};
    const std::int16_t position[2] = {static_cast<std::int16_t>(at.x()), static_cast<std::int16_t>(at.y())};
    std::memcpy(body + 24, position, sizeof position);
    // xcb uses the two slots before the ones it is given; the last pads to 4 bytes (none).
    iovec parts[4] = {{}, {}, {body, sizeof body}, {nullptr, 0}};
    xcb_send_request(connection_, 0, parts + 2, &request);
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
  }

  xcb_connection_t* connection_;
};

}  // namespace kelvanor::testing
