// Button: a view with a title per control state and actions that run, in the order they were
// added, when the user taps it (see Gestures). A state without a title of its own shows the
// normal state's title. A selected button is one the screen shows as chosen (the colour a
// choice of colours stands at).
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/kit/sender.h"
#include "platform/kit/view.h"

namespace allot::kit {

enum class ControlState { Normal = 0, Highlighted = 1, Disabled = 2, Selected = 4 };

class Button : public View {
 public:
  using Action = std::function<void(Sender)>;

  using View::View;

  std::optional<std::string> titleForState(ControlState state) const;
  void setTitle(std::optional<std::string> title, ControlState state);
  // The title shown now: the normal state's, since the toolkit has no pressed or disabled look.
  std::optional<std::string> currentTitle() const { return titleForState(ControlState::Normal); }

  bool isSelected() const { return selected_; }
  void setSelected(bool selected);

  void addAction(Action action);
  // Runs every action with this button as the sender (the tap itself is Gestures::tap).
  void sendActions();

 private:
  std::map<ControlState, std::string> titles_;
  std::vector<Action> actions_;
  bool selected_ = false;
};

}  // namespace allot::kit
