// AlertController: a modal question with a title, a message and buttons (alert actions), shown
// with presentViewController over the controller that asks. While it is shown the screen behind
// it takes no input. Tapping a button takes the alert away, then runs that button's handler, as
// the platform does; a handler that dismisses the alert again changes nothing.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/kit/alert_action.h"
#include "platform/kit/view_controller.h"

namespace allot::kit {

enum class AlertControllerStyle { ActionSheet = 0, Alert = 1 };

class AlertController : public ViewController {
 public:
  AlertController(std::optional<std::string> title, std::optional<std::string> message,
                  AlertControllerStyle preferredStyle);

  const std::optional<std::string>& message() const { return message_; }
  AlertControllerStyle preferredStyle() const { return preferredStyle_; }

  // Buttons appear in the order they were added.
  void addAction(AlertAction action);
  const std::vector<AlertAction>& actions() const { return actions_; }

  // The tap on the button at `index` (see Gestures::tapAlertAction). False when there is none.
  bool tapAction(std::size_t index);

 protected:
  bool coversPresenter() const override { return false; }

 private:
  std::optional<std::string> message_;
  AlertControllerStyle preferredStyle_;
  std::vector<AlertAction> actions_;
};

}  // namespace allot::kit
