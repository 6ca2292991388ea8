// Application: the stand-in for the platform's run loop. It creates the delegate, and at launch
// takes the delegate's main storyboard, makes the window's root controller from it, reports that
// launching finished and then shows the first screen and becomes active. It reports resigning and
// regaining the active state; after each resign it commits the per-user defaults, as the platform
// does, and says in one line on the diagnostics stream when that fails (once for each new
// failure). Between resigns, saveChanges() saves and commits what the delegate has not saved
// yet; the display layer calls it soon after each change. Quitting asks the delegate first. The
// user's gestures are in Gestures; the display layer re-reads the screens when revision() moved.
#pragma once

#include <cstdint>
#include <functional>
#include <iostream>
#include <memory>
#include <string>

#include "platform/defaults/user_defaults.h"
#include "platform/kit/application_delegate.h"
#include "platform/kit/storyboard.h"
#include "platform/kit/window.h"

namespace allot::kit {

enum class ApplicationState { Active, Inactive };

class Application {
 public:
  using DelegateFactory = std::function<std::unique_ptr<ApplicationDelegate>()>;

  Application(UserDefaults& standardUserDefaults, const DelegateFactory& makeDelegate,
              std::ostream& diagnostics = std::cerr);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Once only; returns what the delegate's launch callback returned.
  bool launch(const LaunchOptions& options = {});
  bool isLaunched() const { return launched_; }

  // Each call reports to the delegate and then commits the defaults, also when the application
  // was already inactive: a save too many costs nothing, a missed one loses the user's data.
  void resignActive();
  void becomeActive();
  ApplicationState applicationState() const { return state_; }

  // Saves and commits the delegate's unsaved changes, if it has any; true when none are left.
  bool saveChanges();
  bool hasUnsavedChanges() const { return launched_ && delegate_->hasUnsavedChanges(); }
  // How the last commit of the defaults ended; ok before the first.
  const Status& lastCommit() const { return lastCommit_; }

  // The user asks to quit: saves as a resign does, then asks the delegate. True when the quit may
  // go ahead at once; otherwise the delegate asks the user and calls quit() itself.
  bool requestQuit();
  // Ends the run loop through the handler the display layer set (nothing without one).
  void quit() const {
    if (quitHandler_) quitHandler_();
  }
  void setQuitHandler(std::function<void()> handler) { quitHandler_ = std::move(handler); }

  ApplicationDelegate& delegate() { return *delegate_; }
  Window& window() { return window_; }
  UserDefaults& standardUserDefaults() { return defaults_; }
  std::uint64_t revision() const { return window_.revision(); }

 private:
  void commit();

  UserDefaults& defaults_;
  std::ostream& diagnostics_;
  Status lastCommit_;  // a failure is said on the diagnostics stream once, until it changes
  std::function<void()> quitHandler_;
  // Declared in this order so that they go in the reverse one: the screens first, then the
  // storyboard they were made from, then the delegate whose data they show.
  std::unique_ptr<ApplicationDelegate> delegate_;
  std::unique_ptr<Storyboard> storyboard_;
  Window window_;
  bool launched_ = false;
  ApplicationState state_ = ApplicationState::Inactive;
};

}  // namespace allot::kit
