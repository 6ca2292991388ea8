#include "platform/kit/text_field.h"

#include "platform/kit/window.h"

namespace allot::kit {

TextField::~TextField() {
  resignFirstResponder();
}

void TextField::setText(std::optional<std::string> text) {
  if (text_ == text) return;
  text_ = std::move(text);
  noteChange();
}

void TextField::setPlaceholder(std::optional<std::string> placeholder) {
  if (placeholder_ == placeholder) return;
  placeholder_ = std::move(placeholder);
  noteChange();
}

bool TextField::isFirstResponder() const {
  return window() != nullptr && window()->firstResponder() == this;
}

bool TextField::becomeFirstResponder() {
  if (window() == nullptr) return false;
  window()->setFirstResponder(this);
  return true;
}

bool TextField::resignFirstResponder() {
  if (!isFirstResponder()) return false;
  window()->setFirstResponder(nullptr);
  return true;
}

void TextField::attachToWindow(Window* window) {
  if (window != this->window()) resignFirstResponder();
  View::attachToWindow(window);
}

}  // namespace allot::kit
