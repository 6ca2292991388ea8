#include "platform/kit/button.h"

namespace allot::kit {

std::optional<std::string> Button::titleForState(ControlState state) const {
  if (auto it = titles_.find(state); it != titles_.end()) return it->second;
  if (auto it = titles_.find(ControlState::Normal); it != titles_.end()) return it->second;
  return std::nullopt;
}

void Button::setTitle(std::optional<std::string> title, ControlState state) {
  if (title) {
    titles_[state] = std::move(*title);
  } else {
    titles_.erase(state);
  }
  noteChange();
}

void Button::setSelected(bool selected) {
  if (selected_ == selected) return;
  selected_ = selected;
  noteChange();
}

void Button::addAction(Action action) {
  actions_.push_back(std::move(action));
}

void Button::sendActions() {
  // A copy, so that an action may add actions (or end up destroying the button's screen) safely.
  const std::vector<Action> actions = actions_;
  for (const Action& action : actions) action(this);
}

}  // namespace allot::kit
