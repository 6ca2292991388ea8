// NavigationItem: what a controller shows in the navigation bar while it is on top of the stack:
// a title, an optional list of left items and an optional right item. The back button is the
// navigation controller's, not an item here. An empty list of left items reads as no list.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/kit/bar_button_item.h"
#include "platform/kit/screen_element.h"

namespace allot::kit {

class NavigationItem : public ScreenElement {
 public:
  const std::optional<std::string>& title() const { return title_; }
  void setTitle(std::optional<std::string> title);

  const std::optional<BarButtonItems>& leftBarButtonItems() const { return leftItems_; }
  void setLeftBarButtonItems(std::optional<BarButtonItems> items);
  const std::shared_ptr<BarButtonItem>& rightBarButtonItem() const { return rightItem_; }
  void setRightBarButtonItem(std::shared_ptr<BarButtonItem> item);

  // True when the item is one of the left items or the right item.
  bool shows(const BarButtonItem& item) const;

  void attachToWindow(Window* window);

 private:
  std::optional<std::string> title_;
  std::optional<BarButtonItems> leftItems_;
  std::shared_ptr<BarButtonItem> rightItem_;
};

}  // namespace allot::kit
