#include "platform/kit/view.h"

#include "platform/kit/text_field.h"
#include "platform/kit/window.h"

namespace allot::kit {

View::View(std::string identifier) : identifier_(std::move(identifier)) {}

View::~View() = default;

void View::setAccessibilityLabel(std::optional<std::string> label) {
  accessibilityLabel_ = std::move(label);
  noteChange();
}

View& View::addSubview(std::unique_ptr<View> view) {
  view->superview_ = this;
  view->attachToWindow(window());
  subviews_.push_back(std::move(view));
  noteChange();
  return *subviews_.back();
}

View* View::viewWithIdentifier(std::string_view identifier) {
  if (identifier_ == identifier) return this;
  for (auto& subview : subviews_) {
    if (View* found = subview->viewWithIdentifier(identifier)) return found;
  }
  return nullptr;
}

bool View::isDescendantOfView(const View& other) const {
  for (const View* v = this; v != nullptr; v = v->superview_) {
    if (v == &other) return true;
  }
  return false;
}

void View::setBackgroundColor(std::optional<Color> color) {
  if (backgroundColor_ == color) return;
  backgroundColor_ = color;
  noteChange();
}

bool View::endEditing(bool /*force*/) {
  if (window() == nullptr) return false;
  TextField* field = window()->firstResponder();
  if (field == nullptr || !field->isDescendantOfView(*this)) return false;
  return field->resignFirstResponder();
}

void View::attachToWindow(Window* window) {
  setWindowPointer(window);
  for (auto& subview : subviews_) subview->attachToWindow(window);
}

}  // namespace allot::kit
