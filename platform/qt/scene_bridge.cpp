#include "platform/qt/scene_bridge.h"

#include "platform/kit/bar_button_item.h"

#include "platform/kit/gestures.h"
#include "platform/kit/table_view_controller.h"
#include "platform/kit/view_controller.h"
#include "platform/qt/kit_bridge.h"
#include "platform/qt/table_bridge.h"
#include "platform/qt/view_bridge.h"

namespace allot::qt {

SceneBridge::SceneBridge(KitBridge& kit, kit::ViewController& controller, QObject* parent)
    : QObject(parent),
      kit_(kit),
      controller_(&controller),
      controllerId_(controller.instanceId()),
      sceneName_(controller.storyboardIdentifier()) {
  if (auto* tableController = dynamic_cast<kit::TableViewController*>(&controller)) {
    table_ = new TableBridge(kit, tableController->tableView(), this);
  }
  sync();
}

ViewBridge* SceneBridge::outlet(std::string_view identifier) {
  if (auto found = outlets_.find(identifier); found != outlets_.end()) return found->second;
  if (controller_ == nullptr) return nullptr;
  kit::View* view = controller_->view().viewWithIdentifier(identifier);
  if (view == nullptr) return nullptr;
  auto* bridge = new ViewBridge(kit_, *view, this);
  outlets_.emplace(identifier, bridge);
  return bridge;
}

bool SceneBridge::tapLeftItem(int index) {
  if (controller_ == nullptr || index < 0) return false;
  const auto& items = controller_->navigationItem().leftBarButtonItems();
  if (!items || static_cast<std::size_t>(index) >= items->size()) return false;
  std::shared_ptr<kit::BarButtonItem> item = (*items)[static_cast<std::size_t>(index)];
  return kit_.performOn(*controller_, [item](kit::Gestures& user) { return user.tap(*item); });
}

bool SceneBridge::tapRightItem() {
  if (controller_ == nullptr) return false;
  std::shared_ptr<kit::BarButtonItem> item = controller_->navigationItem().rightBarButtonItem();
  return item &&
         kit_.performOn(*controller_, [item](kit::Gestures& user) { return user.tap(*item); });
}

bool SceneBridge::tapBarItem(std::string_view identifier) {
  if (controller_ == nullptr || identifier.empty()) return false;
  kit::NavigationItem& navigationItem = controller_->navigationItem();
  kit::BarButtonItems items = navigationItem.leftBarButtonItems().value_or(kit::BarButtonItems{});
  if (navigationItem.rightBarButtonItem()) items.push_back(navigationItem.rightBarButtonItem());
  for (const std::shared_ptr<kit::BarButtonItem>& item : items) {
    if (item->identifier() == identifier) {
      return kit_.perform([item](kit::Gestures& user) { return user.tap(*item); });
    }
  }
  return false;
}

bool SceneBridge::tapEditButton() {
  if (controller_ == nullptr) return false;
  std::shared_ptr<kit::BarButtonItem> edit = controller_->editButtonItem();
  return kit_.perform([edit](kit::Gestures& user) { return user.tap(*edit); });
}

bool SceneBridge::layOut() {
  return controller_ != nullptr && kit_.perform([](kit::Gestures& user) { return user.layOut(); });
}

void SceneBridge::sync() {
  if (controller_ == nullptr) return;
  kit::NavigationItem& navigationItem = controller_->navigationItem();
  const QString title =
      navigationItem.title() ? QString::fromStdString(*navigationItem.title()) : QString();
  if (title != title_) {
    title_ = title;
    emit titleChanged();
  }
  QVariantList left;
  if (const auto& items = navigationItem.leftBarButtonItems()) {
    for (const auto& item : *items) {
      left.append(QVariant::fromValue(
          ShownBarItem{.title = QString::fromStdString(item->title()),
                       .identifier = QString::fromStdString(item->identifier())}));
    }
  }
  const auto& rightItem = navigationItem.rightBarButtonItem();
  const QString right = rightItem ? QString::fromStdString(rightItem->title()) : QString();
  const bool rightIsAdd = rightItem && rightItem->systemItem() == kit::BarButtonSystemItem::Add;
  if (left != leftItems_ || right != rightItem_ || rightIsAdd != rightItemIsAdd_) {
    leftItems_ = left;
    rightItem_ = right;
    rightItemIsAdd_ = rightIsAdd;
    emit barItemsChanged();
  }
  if (editing_ != controller_->isEditing()) {
    editing_ = controller_->isEditing();
    emit editingChanged();
  }
  for (auto& [name, outlet] : outlets_) outlet->sync();
  if (table_ != nullptr) table_->sync();
}

void SceneBridge::forget() {
  controller_ = nullptr;
  for (auto& [name, outlet] : outlets_) outlet->forget();
  if (table_ != nullptr) table_->forget();
}

bool SceneBridge::touchBackground() {
  return controller_ != nullptr &&
         kit_.performOn(*controller_, [](kit::Gestures& user) { return user.touchBackground(); });
}

}  // namespace allot::qt
