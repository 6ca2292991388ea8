// ViewController: one screen. It owns its view (made on first use: loadView, then the storyboard
// scene's views, outlets and actions, then viewDidLoad), its navigation item and whatever it
// presents modally. The toolkit calls its hooks in the platform's order: viewWillAppear before
// each appearance, a layout pass (viewWillLayoutSubviews, viewDidLayoutSubviews) after it and on
// each resize, prepareForSegue before the destination's view loads. Controllers that leave the
// screen are kept alive until the current event is over, so a handler may finish safely after
// its own screen was taken away.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kit/bar_button_item.h"
#include "platform/kit/navigation_item.h"
#include "platform/kit/screen_element.h"
#include "platform/kit/sender.h"
#include "platform/kit/touch.h"
#include "platform/kit/view.h"

namespace allot::kit {

class NavigationController;
class Storyboard;
class StoryboardSegue;

class ViewController : public ScreenElement {
 public:
  // Lays the storyboard scene's views out in a freshly loaded root view.
  using SceneLayout = std::function<void(ViewController&, View& root)>;

  ViewController();
  virtual ~ViewController();

  // Unique among all controllers the process ever made, so that a display layer can tell a new
  // controller from a freed one that had the same address.
  std::uint64_t instanceId() const { return instanceId_; }

  View& view();
  bool isViewLoaded() const { return view_ != nullptr; }
  void loadViewIfNeeded();

  // Hooks for subclasses; the base versions do nothing.
  virtual void viewDidLoad() {}
  virtual void viewWillAppear(bool /*animated*/) {}
  virtual void viewDidAppear(bool /*animated*/) {}
  virtual void viewWillDisappear(bool /*animated*/) {}
  virtual void viewDidDisappear(bool /*animated*/) {}
  virtual void viewWillLayoutSubviews() {}
  virtual void viewDidLayoutSubviews() {}
  virtual void prepareForSegue(StoryboardSegue& /*segue*/, Sender /*sender*/) {}
  // A touch on the screen outside any control.
  virtual void touchesBegan(const std::vector<Touch>& /*touches*/, const Event& /*event*/) {}

  // The title; setting it sets the navigation item's title too.
  const std::optional<std::string>& title() const { return title_; }
  void setTitle(std::optional<std::string> title);
  NavigationItem& navigationItem() { return navigationItem_; }

  // The Edit button: the same item on every call; tapping it switches the editing mode, and it
  // reads "Done" while editing.
  std::shared_ptr<BarButtonItem> editButtonItem();
  bool isEditing() const { return editing_; }
  virtual void setEditing(bool editing, bool animated);

  NavigationController* navigationController() const { return navigationController_; }
  Storyboard* storyboard() const { return storyboard_; }
  // The storyboard scene this controller was made from; empty for one made in code.
  const std::string& storyboardIdentifier() const { return storyboardIdentifier_; }

  // Performs a segue of this controller's scene; an unknown identifier is a programming error.
  void performSegueWithIdentifier(std::string_view identifier, Sender sender);

  // Shows the controller over this one until it is dismissed. Refused (nothing shown, completion
  // not called) while this controller already presents one.
  void presentViewController(std::unique_ptr<ViewController> controller, bool animated,
                             std::function<void()> completion);
  // Takes away what this controller presents or, when it presents nothing, this controller from
  // whoever presented it. Nothing to take away: only the completion runs.
  void dismissViewControllerAnimated(bool animated, std::function<void()> completion);
  ViewController* presentedViewController() const { return presented_.get(); }
  ViewController* presentingViewController() const { return presenting_; }

 protected:
  // Makes the root view; the storyboard's views are added to it afterwards.
  virtual std::unique_ptr<View> loadView();
  // Whether the controller, presented, hides its presenter (which then disappears and comes
  // back); an alert does not.
  virtual bool coversPresenter() const { return true; }

  // The steps of coming on and leaving the screen, and of a layout pass; a navigation controller
  // hands them on to its top controller.
  virtual void appearOnScreen(bool animated);
  virtual void leaveScreen(bool animated);
  virtual void layOutView();
  virtual void attachToWindow(Window* window);
  // Keeps a controller that left the screen alive until the current event is over.
  void retire(std::unique_ptr<ViewController> controller);

 private:
  friend class NavigationController;
  friend class Storyboard;
  friend class Window;
  friend class Gestures;

  std::uint64_t instanceId_;
  std::unique_ptr<View> view_;
  std::optional<std::string> title_;
  NavigationItem navigationItem_;
  std::shared_ptr<BarButtonItem> editButtonItem_;
  bool editing_ = false;
  NavigationController* navigationController_ = nullptr;
  Storyboard* storyboard_ = nullptr;
  std::string storyboardIdentifier_;
  SceneLayout sceneLayout_;
  std::unique_ptr<ViewController> presented_;
  ViewController* presenting_ = nullptr;
  std::vector<std::unique_ptr<ViewController>> retired_;  // only when not in a window
};

}  // namespace allot::kit
