// AlertAction: one button of an alert, with a title, a style and the handler that runs after the
// user tapped it and the alert went away.
#pragma once

#include <functional>
#include <string>

namespace allot::kit {

enum class AlertActionStyle { Default = 0, Cancel = 1, Destructive = 2 };

class AlertAction {
 public:
  using Handler = std::function<void(AlertAction& action)>;

  AlertAction(std::string title, AlertActionStyle style, Handler handler)
      : title_(std::move(title)), style_(style), handler_(std::move(handler)) {}

  const std::string& title() const { return title_; }
  AlertActionStyle style() const { return style_; }

  void run() {
    if (handler_) handler_(*this);
  }

 private:
  std::string title_;
  AlertActionStyle style_;
  Handler handler_;
};

}  // namespace allot::kit
