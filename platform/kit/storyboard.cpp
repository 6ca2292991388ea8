#include "platform/kit/storyboard.h"

#include <algorithm>
#include <cassert>

#include "platform/kit/navigation_controller.h"

namespace allot::kit {

void Storyboard::addScene(Scene scene) {
  scenes_.push_back(std::move(scene));
}

void Storyboard::addSegue(Segue segue) {
  segues_.push_back(std::move(segue));
}

void Storyboard::setInitialScene(std::string identifier, bool inNavigationController) {
  initialScene_ = std::move(identifier);
  initialInNavigationController_ = inNavigationController;
}

const Storyboard::Scene* Storyboard::findScene(std::string_view identifier) const {
  for (const Scene& scene : scenes_) {
    if (scene.identifier == identifier) return &scene;
  }
  return nullptr;
}

std::unique_ptr<ViewController> Storyboard::instantiateInitialViewController() {
  std::unique_ptr<ViewController> first = instantiateViewControllerWithIdentifier(initialScene_);
  if (!first || !initialInNavigationController_) return first;
  return std::make_unique<NavigationController>(std::move(first));
}

std::unique_ptr<ViewController> Storyboard::instantiateViewControllerWithIdentifier(
    std::string_view identifier) {
  const Scene* scene = findScene(identifier);
  assert(scene != nullptr && "no scene with this identifier");
  if (scene == nullptr) return nullptr;
  std::unique_ptr<ViewController> controller = scene->makeController();
  controller->storyboard_ = this;
  controller->storyboardIdentifier_ = scene->identifier;
  controller->sceneLayout_ = scene->layOut;
  if (scene->setUp) scene->setUp(*controller);
  return controller;
}

bool Storyboard::performSegue(std::string_view identifier, ViewController& source, Sender sender) {
  auto segue = std::find_if(segues_.begin(), segues_.end(), [&](const Segue& s) {
    return s.identifier == identifier && s.source == source.storyboardIdentifier();
  });
  assert(segue != segues_.end() && "no segue with this identifier from this scene");
  if (segue == segues_.end()) return false;
  if (segue->kind == SegueKind::Unwind) return performUnwind(*segue, source, sender);

  std::unique_ptr<ViewController> destination =
      instantiateViewControllerWithIdentifier(segue->destination);
  if (!destination) return false;
  StoryboardSegue running(segue->identifier, segue->kind, source, *destination);
  source.prepareForSegue(running, sender);
  destination->loadViewIfNeeded();
  NavigationController* navigation = source.navigationController();
  if (segue->kind == SegueKind::Show && navigation != nullptr) {
    navigation->pushViewController(std::move(destination), true);
  } else {
    source.presentViewController(std::move(destination), true, {});
  }
  return true;
}

bool Storyboard::performUnwind(const Segue& segue, ViewController& source, Sender sender) {
  // Look back along the way the user came: down the source's navigation stack, then to whoever
  // presented it (and down that one's stack), until a controller of the destination scene.
  ViewController* destination = nullptr;
  ViewController* presenter = nullptr;    // its presentations are dismissed on the way back
  NavigationController* stack = nullptr;  // popped to the destination on the way back
  ViewController* current = &source;
  while (current != nullptr && destination == nullptr) {
    if (NavigationController* navigation = current->navigationController()) {
      const std::vector<ViewController*> controllers = navigation->viewControllers();
      auto at = std::find(controllers.begin(), controllers.end(), current);
      for (auto below = std::make_reverse_iterator(at); below != controllers.rend(); ++below) {
        if ((*below)->storyboardIdentifier() == segue.destination) {
          destination = *below;
          stack = navigation;
          break;
        }
      }
      if (destination != nullptr) break;
      current = navigation;
    }
    ViewController* next = current->presentingViewController();
    if (next == nullptr) break;
    presenter = next;
    if (auto* navigation = dynamic_cast<NavigationController*>(next))
      next = navigation->topViewController();
    if (next != nullptr && next->storyboardIdentifier() == segue.destination) destination = next;
    current = next;
  }
  if (destination == nullptr) return false;

  StoryboardSegue running(segue.identifier, SegueKind::Unwind, source, *destination);
  source.prepareForSegue(running, sender);
  if (segue.unwindAction) segue.unwindAction(*destination, running);
  if (presenter != nullptr) presenter->dismissViewControllerAnimated(true, {});
  if (stack != nullptr) stack->popToViewController(*destination, true);
  return true;
}

}  // namespace allot::kit
