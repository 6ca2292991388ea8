// Storyboard: the application's table of scenes and segues. A scene says which controller to
// make, how to set up its navigation item when it is made, and which views (with which outlet
// names and actions) to lay out when its view loads. A segue has an identifier, a source and a
// destination scene and a kind; an unwind segue also names the destination's unwind action.
// Performing a segue makes the destination, calls prepareForSegue on the source, loads the
// destination's view and then shows it (or, to unwind, finds the destination on screen, calls
// prepareForSegue and the unwind action, and goes back to it).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kit/sender.h"
#include "platform/kit/storyboard_segue.h"
#include "platform/kit/view.h"
#include "platform/kit/view_controller.h"

namespace allot::kit {

class Storyboard {
 public:
  struct Scene {
    std::string identifier;
    std::function<std::unique_ptr<ViewController>()> makeController;
    std::function<void(ViewController&)> setUp;  // title and navigation item; may be empty
    ViewController::SceneLayout layOut;          // views, outlets, actions; may be empty
  };

  struct Segue {
    std::string identifier;
    std::string source;  // scene identifiers
    std::string destination;
    SegueKind kind = SegueKind::Show;
    std::function<void(ViewController& destination, StoryboardSegue& segue)> unwindAction;
  };

  void addScene(Scene scene);
  // The same, with the set-up and layout written for the controller's own class.
  template <class C>
  void addScene(std::string identifier, std::function<std::unique_ptr<C>()> make,
                std::function<void(C&)> setUp, std::function<void(C&, View&)> layOut) {
    Scene scene{std::move(identifier), std::move(make), {}, {}};
    if (setUp) scene.setUp = [setUp](ViewController& c) { setUp(static_cast<C&>(c)); };
    if (layOut) {
      scene.layOut = [layOut](ViewController& c, View& root) { layOut(static_cast<C&>(c), root); };
    }
    addScene(std::move(scene));
  }

  void addSegue(Segue segue);
  template <class C>
  void addUnwindSegue(std::string identifier, std::string source, std::string destination,
                      void (C::*action)(StoryboardSegue&)) {
    addSegue(Segue{std::move(identifier), std::move(source), std::move(destination),
                   SegueKind::Unwind, [action](ViewController& c, StoryboardSegue& segue) {
                     (static_cast<C&>(c).*action)(segue);
                   }});
  }

  // The first screen, optionally as the root of a navigation controller.
  void setInitialScene(std::string identifier, bool inNavigationController);

  std::unique_ptr<ViewController> instantiateInitialViewController();
  // Null for an unknown scene.
  std::unique_ptr<ViewController> instantiateViewControllerWithIdentifier(
      std::string_view identifier);

  // Performs the segue of the source's scene; false when there is no such segue or, for an
  // unwind, no destination on screen.
  bool performSegue(std::string_view identifier, ViewController& source, Sender sender);

  const std::vector<Scene>& scenes() const { return scenes_; }
  const std::vector<Segue>& segues() const { return segues_; }

 private:
  const Scene* findScene(std::string_view identifier) const;
  bool performUnwind(const Segue& segue, ViewController& source, Sender sender);

  std::vector<Scene> scenes_;
  std::vector<Segue> segues_;
  std::string initialScene_;
  bool initialInNavigationController_ = false;
};

}  // namespace allot::kit
