// View: a rectangle of a screen, with its subviews (which it owns), an optional background colour
// and an identifier by which the storyboard and the display layer find it. Views have no frames
// or drawing: the display layer lays them out by identifier. A view also ends editing in its
// part of the screen (endEditing).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kit/color.h"
#include "platform/kit/screen_element.h"

namespace allot::kit {

class View : public ScreenElement {
 public:
  explicit View(std::string identifier = {});
  virtual ~View();

  // The storyboard's name for the view; for a view behind an outlet, the outlet's name.
  const std::string& identifier() const { return identifier_; }
  // What a screen reader says for the view; the display layer falls back to the visible text.
  const std::optional<std::string>& accessibilityLabel() const { return accessibilityLabel_; }
  void setAccessibilityLabel(std::optional<std::string> label);

  // Takes ownership of the view and returns it, now one of this view's subviews.
  View& addSubview(std::unique_ptr<View> view);
  template <class V, class... Args>
  V& addSubview(Args&&... args) {
    return static_cast<V&>(addSubview(std::make_unique<V>(std::forward<Args>(args)...)));
  }
  const std::vector<std::unique_ptr<View>>& subviews() const { return subviews_; }
  View* superview() const { return superview_; }

  // This view or the first of its descendants (depth first) with the identifier; null if none.
  View* viewWithIdentifier(std::string_view identifier);
  bool isDescendantOfView(const View& other) const;  // true for the view itself too

  const std::optional<Color>& backgroundColor() const { return backgroundColor_; }
  void setBackgroundColor(std::optional<Color> color);

  // Makes the text field that has the keyboard give it up, if that field is this view or inside
  // it. Returns whether a field gave it up. `force` is accepted for the platform's signature;
  // fields here never refuse.
  bool endEditing(bool force);

  // Shows the view and its subviews in the window (or in none).
  virtual void attachToWindow(Window* window);

 private:
  std::string identifier_;
  std::optional<std::string> accessibilityLabel_;
  std::optional<Color> backgroundColor_;
  std::vector<std::unique_ptr<View>> subviews_;
  View* superview_ = nullptr;
};

}  // namespace allot::kit
