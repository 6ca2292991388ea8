// WindowFrame: whether a window manager frames the windows of this display, so that the window's
// first size must leave room for a title bar. On X it looks for a window manager's mark on the
// root window (_NET_SUPPORTING_WM_CHECK): a display without one, such as the VNC server that
// serves Allot without a desktop, frames nothing, and the window may take the whole screen. Every
// other platform is taken to frame its windows. It only asks; it changes nothing on the display.
#pragma once

namespace allot {

class WindowFrame {
 public:
  // Needs the QGuiApplication.
  static bool isDrawn();
};

}  // namespace allot
