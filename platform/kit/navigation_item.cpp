#include "platform/kit/navigation_item.h"

namespace allot::kit {

void NavigationItem::setTitle(std::optional<std::string> title) {
  if (title_ == title) return;
  title_ = std::move(title);
  noteChange();
}

void NavigationItem::setLeftBarButtonItems(std::optional<BarButtonItems> items) {
  if (items && items->empty()) items.reset();
  if (items) {
    for (const auto& item : *items) item->attachToWindow(window());
  }
  leftItems_ = std::move(items);
  noteChange();
}

void NavigationItem::setRightBarButtonItem(std::shared_ptr<BarButtonItem> item) {
  if (item) item->attachToWindow(window());
  rightItem_ = std::move(item);
  noteChange();
}

bool NavigationItem::shows(const BarButtonItem& item) const {
  if (rightItem_.get() == &item) return true;
  if (!leftItems_) return false;
  for (const auto& left : *leftItems_) {
    if (left.get() == &item) return true;
  }
  return false;
}

void NavigationItem::attachToWindow(Window* window) {
  setWindowPointer(window);
  if (leftItems_) {
    for (const auto& item : *leftItems_) item->attachToWindow(window);
  }
  if (rightItem_) rightItem_->attachToWindow(window);
}

}  // namespace allot::kit
