// TextField: a one-line text entry. Its text is absent until something is typed or set (setting
// an absent text makes it absent again). It can hold the keyboard (be the window's first
// responder): typing gives it the keyboard, resignFirstResponder or endEditing takes it away.
// A field that is not in a window cannot take the keyboard.
#pragma once

#include <optional>
#include <string>

#include "platform/kit/view.h"

namespace allot::kit {

class TextField : public View {
 public:
  using View::View;
  ~TextField() override;

  const std::optional<std::string>& text() const { return text_; }
  void setText(std::optional<std::string> text);
  const std::optional<std::string>& placeholder() const { return placeholder_; }
  void setPlaceholder(std::optional<std::string> placeholder);

  bool isFirstResponder() const;
  bool becomeFirstResponder();
  // Gives up the keyboard; true when the field had it.
  bool resignFirstResponder();

  void attachToWindow(Window* window) override;

 private:
  std::optional<std::string> text_;
  std::optional<std::string> placeholder_;
};

}  // namespace allot::kit
