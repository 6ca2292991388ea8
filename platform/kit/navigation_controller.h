// NavigationController: a stack of controllers of which the top one is on screen, under a
// navigation bar that shows the top controller's navigation item and, above the root, a back
// button (see Gestures::goBack). Pushing and popping run the appearance hooks of the controllers
// coming and going. It owns the stack; popped controllers live until the current event is over.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/kit/view_controller.h"

namespace allot::kit {

class NavigationController : public ViewController {
 public:
  explicit NavigationController(std::unique_ptr<ViewController> root);

  void pushViewController(std::unique_ptr<ViewController> controller, bool animated);
  // False, and nothing happens, at the root.
  bool popViewControllerAnimated(bool animated);
  // Pops every controller above `target`; false when `target` is not in the stack.
  bool popToViewController(const ViewController& target, bool animated);

  ViewController* topViewController() const;
  std::vector<ViewController*> viewControllers() const;
  // The back button's title: the title of the controller below the top one, if any.
  std::optional<std::string> backButtonTitle() const;

 protected:
  void appearOnScreen(bool animated) override;
  void leaveScreen(bool animated) override;
  void layOutView() override;
  void attachToWindow(Window* window) override;

 private:
  void adopt(ViewController& controller);
  void popAbove(std::size_t keep, bool animated);

  std::vector<std::unique_ptr<ViewController>> stack_;
};

}  // namespace allot::kit
