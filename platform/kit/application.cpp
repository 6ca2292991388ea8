#include "platform/kit/application.h"

#include <cassert>

namespace allot::kit {

Application::Application(UserDefaults& standardUserDefaults, const DelegateFactory& makeDelegate,
                         std::ostream& diagnostics)
    : defaults_(standardUserDefaults), diagnostics_(diagnostics), delegate_(makeDelegate()) {
  assert(delegate_ != nullptr);
}

Application::~Application() {
  window_.setRootViewController(nullptr);
  window_.endOfEvent();
}

bool Application::launch(const LaunchOptions& options) {
  assert(!launched_ && "an application launches once");
  if (launched_) return false;
  launched_ = true;
  delegate_->setWindow(&window_);
  storyboard_ = delegate_->mainStoryboard();
  if (storyboard_) window_.setRootViewController(storyboard_->instantiateInitialViewController());
  const bool finished = delegate_->applicationDidFinishLaunchingWithOptions(*this, options);
  window_.makeKeyAndVisible();
  becomeActive();
  window_.endOfEvent();
  return finished;
}

void Application::resignActive() {
  if (!launched_) return;
  state_ = ApplicationState::Inactive;
  delegate_->applicationWillResignActive(*this);
  commit();
}

bool Application::saveChanges() {
  if (!launched_) return true;
  if (delegate_->hasUnsavedChanges()) {
    delegate_->saveChanges(*this);
    commit();
  }
  return !delegate_->hasUnsavedChanges();
}

bool Application::requestQuit() {
  if (!launched_) return true;
  resignActive();
  const bool mayQuit = delegate_->applicationShouldQuit(*this);
  window_.endOfEvent();
  return mayQuit;
}

void Application::commit() {
  Status outcome = defaults_.synchronize();
  if (!outcome.isOk() && outcome != lastCommit_) {
    diagnostics_ << "Could not save the application's data: " << outcome.message() << '\n';
  }
  lastCommit_ = std::move(outcome);
  delegate_->applicationDidCommit(*this, lastCommit_);
}

void Application::becomeActive() {
  if (!launched_ || state_ == ApplicationState::Active) return;
  state_ = ApplicationState::Active;
  delegate_->applicationDidBecomeActive(*this);
}

}  // namespace allot::kit
