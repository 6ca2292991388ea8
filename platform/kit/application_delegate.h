// ApplicationDelegate: what the application itself adds to the toolkit's run loop: the main
// storyboard, and what to do when launching finishes and when the application resigns or regains
// the active state. The base versions do nothing (and launching succeeds).
#pragma once

#include <map>
#include <memory>
#include <string>

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

  // The application's window, set at launch before the root controller is made.
  Window* window() const { return window_; }
  void setWindow(Window* window) { window_ = window; }

 private:
  Window* window_ = nullptr;
};

}  // namespace allot::kit
