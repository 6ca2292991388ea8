// BarButtonItem: a button of a navigation bar, with a title, a style and the action that runs when
// the user taps it (see Gestures), and optionally an identifier by which the display layer finds
// it (for a key that taps it). Items are shared (std::shared_ptr) between the navigation item
// that shows them and whoever made them, and are compared by identity.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/kit/screen_element.h"
#include "platform/kit/sender.h"

namespace allot::kit {

enum class BarButtonItemStyle { Plain = 0, Done = 2 };
// An item the platform draws its own way (Add as a plus sign); its title is what it is called.
enum class BarButtonSystemItem { None, Add };

class BarButtonItem : public ScreenElement {
 public:
  using Action = std::function<void(Sender)>;

  explicit BarButtonItem(std::string title, Action action = {},
                         BarButtonItemStyle style = BarButtonItemStyle::Plain);
  // A system item, titled after what it does ("Add").
  BarButtonItem(BarButtonSystemItem systemItem, Action action);

  const std::string& title() const { return title_; }
  void setTitle(std::string title);
  BarButtonItemStyle style() const { return style_; }
  BarButtonSystemItem systemItem() const { return systemItem_; }
  void setStyle(BarButtonItemStyle style);
  void setAction(Action action) { action_ = std::move(action); }
  const std::string& identifier() const { return identifier_; }
  void setIdentifier(std::string identifier) { identifier_ = std::move(identifier); }

  // Runs the action with this item as the sender (the tap itself is Gestures::tap).
  void sendAction();

  void attachToWindow(Window* window) { setWindowPointer(window); }

 private:
  std::string title_;
  std::string identifier_;
  Action action_;
  BarButtonItemStyle style_;
  BarButtonSystemItem systemItem_ = BarButtonSystemItem::None;
};

using BarButtonItems = std::vector<std::shared_ptr<BarButtonItem>>;

}  // namespace allot::kit
