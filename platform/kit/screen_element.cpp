#include "platform/kit/screen_element.h"

#include "platform/kit/window.h"

namespace allot::kit {

void ScreenElement::noteChange() const {
  if (window_ != nullptr) window_->noteChange();
}

void ScreenElement::setWindowPointer(Window* window) {
  if (window_ == window) return;
  window_ = window;
  noteChange();
}

}  // namespace allot::kit
