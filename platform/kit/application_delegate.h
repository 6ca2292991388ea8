// ApplicationDelegate: what the application itself adds to the toolkit's run loop: the main
// storyboard, and what to do when launching finishes, when the application resigns or regains
// the active state, when its changes are saved between those moments and when the user quits.
// The base versions do nothing (launching succeeds, nothing is unsaved, quitting may go ahead).
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/defaults/status.h"

namespace allot::kit {

class Application;
class Storyboard;
class Window;

using LaunchOptions = std::map<std::string, std::string>;

class ApplicationDelegate {
 public:
  virtual ~ApplicationDelegate() = default;

  // The storyboard whose initial scene becomes the window's root. Asked once, at launch, before
  // applicationDidFinishLaunchingWithOptions; no screen is shown until that has returned.
  virtual std::unique_ptr<Storyboard> mainStoryboard() = 0;

  virtual bool applicationDidFinishLaunchingWithOptions(Application& /*application*/,
                                                        const LaunchOptions& /*options*/) {
    return true;
  }
  virtual void applicationWillResignActive(Application& /*application*/) {}
  virtual void applicationDidBecomeActive(Application& /*application*/) {}

  // Saving between resigns: whether anything changed since the last save that committed, and
  // writing those changes to the defaults (the application then commits them).
  virtual bool hasUnsavedChanges() const { return false; }
  virtual void saveChanges(Application& /*application*/) {}
  // After each commit of the defaults: ok, or why it failed.
  virtual void applicationDidCommit(Application& /*application*/, const Status& /*outcome*/) {}

  // The user asked to quit, and the application has just saved. False keeps it running (the
  // delegate then asks the user, and quits through Application::quit when told to).
  virtual bool applicationShouldQuit(Application& /*application*/) { return true; }

  // The application's window, set at launch before the root controller is made.
  Window* window() const { return window_; }
  void setWindow(Window* window) { window_ = window; }

 private:
  Window* window_ = nullptr;
};

}  // namespace allot::kit
