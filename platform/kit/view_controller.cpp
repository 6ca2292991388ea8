#include "platform/kit/view_controller.h"

#include <cassert>

#include "platform/kit/storyboard.h"
#include "platform/kit/window.h"

namespace allot::kit {

ViewController::ViewController() {
  static std::uint64_t made = 0;  // the main thread only, like everything in the kit
  instanceId_ = ++made;
}

ViewController::~ViewController() = default;

View& ViewController::view() {
  loadViewIfNeeded();
  return *view_;
}

void ViewController::loadViewIfNeeded() {
  if (view_) return;
  view_ = loadView();
  view_->attachToWindow(window());
  if (sceneLayout_) sceneLayout_(*this, *view_);
  viewDidLoad();
}

std::unique_ptr<View> ViewController::loadView() {
  return std::make_unique<View>("view");
}

void ViewController::setTitle(std::optional<std::string> title) {
  if (title_ != title) {
    title_ = title;
    noteChange();
  }
  navigationItem_.setTitle(std::move(title));
}

std::shared_ptr<BarButtonItem> ViewController::editButtonItem() {
  if (!editButtonItem_) {
    editButtonItem_ = std::make_shared<BarButtonItem>(
        editing_ ? "Done" : "Edit", [this](Sender) { setEditing(!isEditing(), true); },
        editing_ ? BarButtonItemStyle::Done : BarButtonItemStyle::Plain);
    editButtonItem_->attachToWindow(window());
  }
  return editButtonItem_;
}

void ViewController::setEditing(bool editing, bool /*animated*/) {
  if (editing_ != editing) {
    editing_ = editing;
    noteChange();
  }
  if (editButtonItem_) {
    editButtonItem_->setTitle(editing ? "Done" : "Edit");
    editButtonItem_->setStyle(editing ? BarButtonItemStyle::Done : BarButtonItemStyle::Plain);
  }
}

void ViewController::performSegueWithIdentifier(std::string_view identifier, Sender sender) {
  assert(storyboard_ != nullptr && "only controllers made by a storyboard perform segues");
  if (storyboard_ != nullptr) storyboard_->performSegue(identifier, *this, sender);
}

void ViewController::presentViewController(std::unique_ptr<ViewController> controller,
                                           bool animated, std::function<void()> completion) {
  if (presented_ || !controller) return;
  controller->presenting_ = this;
  controller->attachToWindow(window());
  controller->loadViewIfNeeded();
  const bool covers = controller->coversPresenter();
  if (covers) viewWillDisappear(animated);
  presented_ = std::move(controller);
  presented_->appearOnScreen(animated);
  if (covers) viewDidDisappear(animated);
  noteChange();
  if (completion) completion();
}

void ViewController::dismissViewControllerAnimated(bool animated,
                                                   std::function<void()> completion) {
  ViewController* presenter = presented_ ? this : presenting_;
  if (presenter == nullptr) {
    if (completion) completion();
    return;
  }
  std::unique_ptr<ViewController> leaving = std::move(presenter->presented_);
  leaving->presenting_ = nullptr;
  const bool covered = leaving->coversPresenter();
  leaving->viewWillDisappear(animated);
  if (covered) presenter->viewWillAppear(animated);
  leaving->viewDidDisappear(animated);
  if (covered) presenter->viewDidAppear(animated);
  presenter->noteChange();
  presenter->retire(std::move(leaving));
  if (completion) completion();
}

void ViewController::appearOnScreen(bool animated) {
  loadViewIfNeeded();
  viewWillAppear(animated);
  layOutView();
  viewDidAppear(animated);
}

void ViewController::leaveScreen(bool animated) {
  viewWillDisappear(animated);
  viewDidDisappear(animated);
}

void ViewController::layOutView() {
  loadViewIfNeeded();
  viewWillLayoutSubviews();
  viewDidLayoutSubviews();
}

void ViewController::attachToWindow(Window* window) {
  setWindowPointer(window);
  if (view_) view_->attachToWindow(window);
  navigationItem_.attachToWindow(window);
  if (editButtonItem_) editButtonItem_->attachToWindow(window);
  if (presented_) presented_->attachToWindow(window);
}

void ViewController::retire(std::unique_ptr<ViewController> controller) {
  Window* shownIn = window();
  controller->attachToWindow(nullptr);
  if (shownIn != nullptr) {
    shownIn->retire(std::move(controller));
  } else {
    retired_.push_back(std::move(controller));
  }
}

}  // namespace allot::kit
