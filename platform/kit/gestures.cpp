#include "platform/kit/gestures.h"

#include <algorithm>

#include "platform/kit/alert_controller.h"
#include "platform/kit/navigation_controller.h"
#include "platform/kit/table_view_controller.h"

namespace allot::kit {

ViewController* Gestures::inputController() const {
  return window_.visibleViewController();
}

bool Gestures::reachable(const View& view) const {
  ViewController* controller = inputController();
  return controller != nullptr && controller->isViewLoaded() &&
         view.isDescendantOfView(controller->view());
}

bool Gestures::finish(bool reached) {
  window_.endOfEvent();
  return reached;
}

bool Gestures::tap(Button& button) {
  if (!reachable(button)) return false;
  button.sendActions();
  return finish(true);
}

bool Gestures::tap(BarButtonItem& item) {
  ViewController* controller = inputController();
  if (controller == nullptr) return false;
  NavigationController* navigation = controller->navigationController();
  if (navigation == nullptr || navigation->topViewController() != controller) return false;
  if (!controller->navigationItem().shows(item)) return false;
  item.sendAction();
  return finish(true);
}

bool Gestures::goBack() {
  ViewController* controller = inputController();
  if (controller == nullptr) return false;
  NavigationController* navigation = controller->navigationController();
  if (navigation == nullptr || navigation->topViewController() != controller) return false;
  return finish(navigation->popViewControllerAnimated(true));
}

bool Gestures::enterText(TextField& field, std::string text) {
  if (!reachable(field)) return false;
  field.becomeFirstResponder();
  field.setText(std::move(text));
  return finish(true);
}

bool Gestures::clearText(TextField& field) {
  return enterText(field, std::string());
}

bool Gestures::touchBackground() {
  ViewController* controller = inputController();
  if (controller == nullptr) return false;
  const Touch touch{};
  controller->touchesBegan({touch}, Event{{touch}});
  return finish(true);
}

bool Gestures::selectRow(TableView& table, std::size_t row) {
  if (!reachable(table) || table.isEditing() || row >= table.numberOfRowsInSection(0)) {
    return false;
  }
  const IndexPath path(row);
  table.selectRowAtIndexPath(path);
  TableViewController& controller = table.controller();
  controller.tableViewDidSelectRowAtIndexPath(table, path);
  if (auto segue = table.selectionSegueForRowAtIndexPath(path)) {
    controller.performSegueWithIdentifier(*segue, table.cellForRowAtIndexPath(path));
  }
  return finish(true);
}

bool Gestures::swipeRow(TableView& table, std::size_t row) {
  if (!reachable(table)) return false;
  return finish(table.showRowActionsForRowAtIndexPath(IndexPath(row)));
}

bool Gestures::triggerRowAction(TableView& table, std::size_t index) {
  if (!reachable(table)) return false;
  return finish(table.performRowAction(index));
}

bool Gestures::swipeDelete(TableView& table, std::size_t row) {
  if (!reachable(table) || !table.showRowActionsForRowAtIndexPath(IndexPath(row))) {
    return finish(false);
  }
  return finish(table.performRowAction(0));
}

bool Gestures::dragRow(TableView& table, std::size_t from, std::size_t to) {
  if (!reachable(table) || !table.isEditing()) return false;
  const std::size_t count = table.numberOfRowsInSection(0);
  if (from >= count || to >= count) return false;
  TableViewController& controller = table.controller();
  if (!controller.tableViewCanMoveRowAtIndexPath(table, IndexPath(from))) return false;
  if (from == to) return finish(true);
  table.moveRowAtIndexPath(IndexPath(from), IndexPath(to));
  controller.tableViewMoveRowAtIndexPath(table, IndexPath(from), IndexPath(to));
  return finish(true);
}

bool Gestures::tapAlertAction(std::size_t index) {
  auto* alert = dynamic_cast<AlertController*>(inputController());
  if (alert == nullptr) return false;
  return finish(alert->tapAction(index));
}

bool Gestures::scroll(TextView& textView, Point offset) {
  if (!reachable(textView)) return false;
  textView.setContentOffset({std::max(offset.x, 0.0), std::max(offset.y, 0.0)}, false);
  return finish(true);
}

bool Gestures::layOut() {
  const std::vector<ViewController*> controllers = window_.controllersOnDisplay();
  for (ViewController* controller : controllers) controller->layOutView();
  return finish(!controllers.empty());
}

bool Gestures::resize(Size size) {
  window_.setSize(size);
  return finish(window_.isVisible());
}

bool Gestures::showRootBeside(bool beside) {
  window_.setShowsRootBeside(beside);
  return finish(true);
}

bool Gestures::bringForward(ViewController& controller) {
  NavigationController* navigation = controller.navigationController();
  if (window_.controllerBeside() != &controller || navigation == nullptr ||
      navigation->topViewController() != inputController()) {
    return false;
  }
  return finish(navigation->popToViewController(controller, true));
}

bool Gestures::dismissNotice() {
  if (!window_.notice() || !window_.notice()->dismissible) return false;
  window_.clearNotice();
  return finish(true);
}

bool Gestures::tapNoticeAction() {
  if (dynamic_cast<AlertController*>(inputController()) != nullptr) return false;
  return finish(window_.runNoticeAction());
}

bool Gestures::undo() {
  if (dynamic_cast<AlertController*>(inputController()) != nullptr) return false;
  return finish(window_.undo(false));
}

bool Gestures::redo() {
  if (dynamic_cast<AlertController*>(inputController()) != nullptr) return false;
  return finish(window_.undo(true));
}

}  // namespace allot::kit
