#include "platform/kit/alert_controller.h"

namespace allot::kit {

AlertController::AlertController(std::optional<std::string> title,
                                 std::optional<std::string> message,
                                 AlertControllerStyle preferredStyle)
    : message_(std::move(message)), preferredStyle_(preferredStyle) {
  setTitle(std::move(title));
}

void AlertController::addAction(AlertAction action) {
  actions_.push_back(std::move(action));
  noteChange();
}

bool AlertController::tapAction(std::size_t index) {
  if (index >= actions_.size()) return false;
  // A copy: dismissing retires this alert, and the handler may outlive it.
  AlertAction tapped = actions_[index];
  dismissViewControllerAnimated(true, {});
  tapped.run();
  return true;
}

}  // namespace allot::kit
