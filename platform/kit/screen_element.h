// ScreenElement: the base of everything whose state a screen shows (views, bar items, navigation
// items, controllers). It knows the window it is shown in, once attached, and tells that window
// of every change, which moves the window's revision. Elements not yet attached change silently;
// attaching them counts as a change.
#pragma once

namespace allot::kit {

class Window;

class ScreenElement {
 public:
  Window* window() const { return window_; }

 protected:
  ScreenElement() = default;
  ~ScreenElement() = default;
  ScreenElement(const ScreenElement&) = delete;
  ScreenElement& operator=(const ScreenElement&) = delete;

  // Call from every setter that changes what the screen would show.
  void noteChange() const;
  void setWindowPointer(Window* window);

 private:
  Window* window_ = nullptr;
};

}  // namespace allot::kit
