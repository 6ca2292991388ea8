#include "platform/kit/navigation_controller.h"

namespace allot::kit {

NavigationController::NavigationController(std::unique_ptr<ViewController> root) {
  adopt(*root);
  stack_.push_back(std::move(root));
}

void NavigationController::adopt(ViewController& controller) {
  controller.navigationController_ = this;
  controller.attachToWindow(window());
}

void NavigationController::pushViewController(std::unique_ptr<ViewController> controller,
                                              bool animated) {
  if (!controller) return;
  adopt(*controller);
  controller->loadViewIfNeeded();
  ViewController* leaving = topViewController();
  if (leaving != nullptr) leaving->viewWillDisappear(animated);
  stack_.push_back(std::move(controller));
  ViewController& coming = *stack_.back();
  coming.viewWillAppear(animated);
  coming.layOutView();
  if (leaving != nullptr) leaving->viewDidDisappear(animated);
  coming.viewDidAppear(animated);
  noteChange();
}

bool NavigationController::popViewControllerAnimated(bool animated) {
  if (stack_.size() < 2) return false;
  popAbove(stack_.size() - 1, animated);
  return true;
}

bool NavigationController::popToViewController(const ViewController& target, bool animated) {
  for (std::size_t i = 0; i < stack_.size(); ++i) {
    if (stack_[i].get() == &target) {
      popAbove(i + 1, animated);
      return true;
    }
  }
  return false;
}

void NavigationController::popAbove(std::size_t keep, bool animated) {
  if (keep >= stack_.size()) return;
  ViewController& leaving = *stack_.back();
  ViewController& coming = *stack_[keep - 1];
  leaving.viewWillDisappear(animated);
  coming.viewWillAppear(animated);
  coming.layOutView();
  leaving.viewDidDisappear(animated);
  coming.viewDidAppear(animated);
  while (stack_.size() > keep) {
    std::unique_ptr<ViewController> popped = std::move(stack_.back());
    stack_.pop_back();
    popped->navigationController_ = nullptr;
    retire(std::move(popped));
  }
  noteChange();
}

ViewController* NavigationController::topViewController() const {
  return stack_.empty() ? nullptr : stack_.back().get();
}

std::vector<ViewController*> NavigationController::viewControllers() const {
  std::vector<ViewController*> controllers;
  for (const auto& controller : stack_) controllers.push_back(controller.get());
  return controllers;
}

std::optional<std::string> NavigationController::backButtonTitle() const {
  if (stack_.size() < 2) return std::nullopt;
  ViewController& below = *stack_[stack_.size() - 2];
  const std::optional<std::string>& title = below.navigationItem().title();
  return title ? title : std::optional<std::string>("Back");
}

void NavigationController::appearOnScreen(bool animated) {
  loadViewIfNeeded();
  if (ViewController* top = topViewController()) top->appearOnScreen(animated);
}

void NavigationController::leaveScreen(bool animated) {
  if (ViewController* top = topViewController()) top->leaveScreen(animated);
}

void NavigationController::layOutView() {
  if (ViewController* top = topViewController()) top->layOutView();
}

void NavigationController::attachToWindow(Window* window) {
  ViewController::attachToWindow(window);
  for (auto& controller : stack_) controller->attachToWindow(window);
}

}  // namespace allot::kit
