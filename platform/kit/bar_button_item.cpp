#include "platform/kit/bar_button_item.h"

namespace allot::kit {

BarButtonItem::BarButtonItem(std::string title, Action action, BarButtonItemStyle style)
    : title_(std::move(title)), action_(std::move(action)), style_(style) {}

BarButtonItem::BarButtonItem(BarButtonSystemItem systemItem, Action action)
    : title_(systemItem == BarButtonSystemItem::Add ? "Add" : ""),
      action_(std::move(action)),
      style_(BarButtonItemStyle::Plain),
      systemItem_(systemItem) {}

void BarButtonItem::setTitle(std::string title) {
  if (title_ == title) return;
  title_ = std::move(title);
  noteChange();
}

void BarButtonItem::setStyle(BarButtonItemStyle style) {
  if (style_ == style) return;
  style_ = style;
  noteChange();
}

void BarButtonItem::sendAction() {
  // A copy, so that the action may replace itself or end up destroying the item safely.
  const Action action = action_;
  if (action) action(this);
}

}  // namespace allot::kit
