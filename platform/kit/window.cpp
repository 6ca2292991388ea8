#include "platform/kit/window.h"

#include "platform/kit/navigation_controller.h"
#include "platform/kit/text_field.h"
#include "platform/kit/view_controller.h"

namespace allot::kit {
namespace {

void collectOnDisplay(ViewController* controller, ViewController* beside,
                      std::vector<ViewController*>& out) {
  if (controller == nullptr) return;
  if (auto* navigation = dynamic_cast<NavigationController*>(controller)) {
    if (beside != nullptr && beside->navigationController() == navigation) out.push_back(beside);
    collectOnDisplay(navigation->topViewController(), nullptr, out);
  } else {
    out.push_back(controller);
  }
  collectOnDisplay(controller->presentedViewController(), nullptr, out);
}

}  // namespace

Window::Window() = default;

Window::~Window() {
  // Controllers go before the window's own state, which their fields still reach as they go.
  retired_.clear();
  root_.reset();
}

void Window::setRootViewController(std::unique_ptr<ViewController> controller) {
  if (root_) root_->attachToWindow(nullptr);
  if (root_) retired_.push_back(std::move(root_));
  root_ = std::move(controller);
  if (root_) root_->attachToWindow(this);
  noteChange();
}

void Window::makeKeyAndVisible() {
  if (visible_) return;
  visible_ = true;
  if (root_) root_->appearOnScreen(false);
  noteChange();
}

std::vector<ViewController*> Window::controllersOnDisplay() const {
  std::vector<ViewController*> controllers;
  if (visible_) collectOnDisplay(root_.get(), controllerBeside(), controllers);
  return controllers;
}

ViewController* Window::visibleViewController() const {
  const std::vector<ViewController*> controllers = controllersOnDisplay();
  return controllers.empty() ? nullptr : controllers.back();
}

void Window::setSize(Size size) {
  if (size_ == size) return;
  size_ = size;
  noteChange();
  for (ViewController* controller : controllersOnDisplay()) controller->layOutView();
}

ViewController* Window::controllerBeside() const {
  auto* navigation = dynamic_cast<NavigationController*>(root_.get());
  if (!showsRootBeside_ || !visible_ || navigation == nullptr) return nullptr;
  const std::vector<ViewController*> stack = navigation->viewControllers();
  return stack.size() > 1 ? stack.front() : nullptr;
}

void Window::setShowsRootBeside(bool beside) {
  if (showsRootBeside_ == beside) return;
  ViewController* wasBeside = controllerBeside();
  showsRootBeside_ = beside;
  noteChange();
  if (wasBeside != nullptr) wasBeside->leaveScreen(false);
}

void Window::setFirstResponder(TextField* field) {
  if (firstResponder_ == field) return;
  firstResponder_ = field;
  noteChange();
}

void Window::showNotice(Notice notice, std::function<void()> action) {
  noticeAction_ = std::move(action);
  if (notice_ == notice) return;
  notice_ = std::move(notice);
  noteChange();
}

void Window::clearNotice() {
  noticeAction_ = {};
  if (!notice_) return;
  notice_.reset();
  noteChange();
}

bool Window::runNoticeAction() {
  if (!notice_ || notice_->actionTitle.empty() || !noticeAction_) return false;
  std::function<void()> action = std::move(noticeAction_);
  clearNotice();
  action();
  return true;
}

void Window::retire(std::unique_ptr<ViewController> controller) {
  retired_.push_back(std::move(controller));
}

void Window::endOfEvent() {
  if (ViewController* beside = controllerBeside();
      beside != nullptr && besideRefreshedAt_ != revision_) {
    beside->appearOnScreen(false);
    besideRefreshedAt_ = revision_;
  }
  {
    std::vector<std::unique_ptr<ViewController>> leaving = std::move(retired_);
    retired_.clear();
  }
  if (endOfEventHandler_) endOfEventHandler_();
}

}  // namespace allot::kit
