#include "app/window_frame.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace allot {
namespace {

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};

// Whether the X display's root window carries a window manager's mark.
bool windowManagerRuns(xcb_connection_t* connection) {
  const char* mark = "_NET_SUPPORTING_WM_CHECK";
  const std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> atom(xcb_intern_atom_reply(
      connection,
      xcb_intern_atom(connection, 1, static_cast<std::uint16_t>(std::strlen(mark)), mark),
      nullptr));
  if (!atom || atom->atom == XCB_ATOM_NONE) return false;
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  if (screen == nullptr) return false;
  const std::unique_ptr<xcb_get_property_reply_t, FreeReply> property(xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, screen->root, atom->atom, XCB_ATOM_WINDOW, 0, 1),
      nullptr));
  return property && xcb_get_property_value_length(property.get()) > 0;
}

}  // namespace

bool WindowFrame::isDrawn() {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->connection() == nullptr) return true;
  return windowManagerRuns(x11->connection());
}

}  // namespace allot
