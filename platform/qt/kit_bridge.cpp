#include "platform/qt/kit_bridge.h"

#include <algorithm>

#include "platform/kit/alert_controller.h"
#include "platform/kit/navigation_controller.h"
#include "platform/qt/alert_bridge.h"
#include "platform/qt/scene_bridge.h"

namespace allot::qt {

KitBridge::KitBridge(kit::Application& application, QObject* parent)
    : QObject(parent), application_(application), gestures_(application) {
  sync();
}

QQmlListProperty<SceneBridge> KitBridge::scenes() {
  return {
      this, &scenes_,
      [](QQmlListProperty<SceneBridge>* list) {
        return static_cast<qsizetype>(static_cast<std::vector<SceneBridge*>*>(list->data)->size());
      },
      [](QQmlListProperty<SceneBridge>* list, qsizetype index) {
        return static_cast<std::vector<SceneBridge*>*>(list->data)
            ->at(static_cast<std::size_t>(index));
      }};
}

bool KitBridge::goBack() {
  return perform([](kit::Gestures& user) { return user.goBack(); });
}

void KitBridge::keepWithPage(SceneBridge* scene, QObject* page) {
  if (scene == nullptr || page == nullptr || scene->parent() == page) return;
  scene->setParent(page);
  connect(scene, &QObject::destroyed, this, [this, scene] {
    scenes_.erase(std::remove(scenes_.begin(), scenes_.end(), scene), scenes_.end());
  });
}

bool KitBridge::dismissNotice() {
  return perform([](kit::Gestures& user) { return user.dismissNotice(); });
}

bool KitBridge::tapNoticeAction() {
  return perform([](kit::Gestures& user) { return user.tapNoticeAction(); });
}

bool KitBridge::undo() {
  return perform([](kit::Gestures& user) { return user.undo(); });
}

bool KitBridge::redo() {
  return perform([](kit::Gestures& user) { return user.redo(); });
}

bool KitBridge::mayQuit() {
  const bool mayQuit = application_.requestQuit();
  sync();
  return mayQuit;
}

bool KitBridge::touchBackground() {
  return perform([](kit::Gestures& user) { return user.touchBackground(); });
}

bool KitBridge::resize(qreal width, qreal height) {
  return perform([width, height](kit::Gestures& user) {
    return user.resize({static_cast<double>(width), static_cast<double>(height)});
  });
}

bool KitBridge::showRootBeside(bool beside) {
  return perform([beside](kit::Gestures& user) { return user.showRootBeside(beside); });
}

void KitBridge::sync() {
  if (application_.revision() == shownRevision_) return;
  shownRevision_ = application_.revision();
  syncScenes();
  syncAlert();
  syncNotice();
}

void KitBridge::syncNotice() {
  const std::optional<kit::Notice>& notice = application_.window().notice();
  const QString text = notice ? QString::fromStdString(notice->text) : QString();
  const bool dismissible = notice && notice->dismissible;
  const QString actionTitle = notice ? QString::fromStdString(notice->actionTitle) : QString();
  if (text == noticeText_ && dismissible == noticeDismissible_ &&
      actionTitle == noticeActionTitle_) {
    return;
  }
  noticeText_ = text;
  noticeDismissible_ = dismissible;
  noticeActionTitle_ = actionTitle;
  emit noticeChanged();
}

void KitBridge::syncScenes() {
  std::vector<kit::ViewController*> stack;
  kit::ViewController* root = application_.window().rootViewController();
  if (auto* navigation = dynamic_cast<kit::NavigationController*>(root)) {
    stack = navigation->viewControllers();
  } else if (root != nullptr) {
    stack.push_back(root);
  }

  // A screen keeps its bridge while the same controller (not merely the same address) is shown.
  std::vector<SceneBridge*> next;
  for (kit::ViewController* controller : stack) {
    auto same = std::find_if(scenes_.begin(), scenes_.end(), [controller](SceneBridge* scene) {
      return scene->controllerId() == controller->instanceId();
    });
    next.push_back(same != scenes_.end() ? *same : new SceneBridge(*this, *controller, this));
  }
  // A screen that left stops reading the kit at once; its page, if it has one, frees it.
  for (SceneBridge* scene : scenes_) {
    if (std::find(next.begin(), next.end(), scene) == next.end()) {
      scene->forget();
      if (scene->parent() == this) scene->deleteLater();
    }
  }
  const bool changed = next != scenes_;
  scenes_ = std::move(next);
  for (SceneBridge* scene : scenes_) scene->sync();
  if (changed) emit scenesChanged();
}

void KitBridge::syncAlert() {
  kit::AlertController* shown = nullptr;
  for (kit::ViewController* controller : application_.window().controllersOnDisplay()) {
    if (auto* alert = dynamic_cast<kit::AlertController*>(controller)) shown = alert;
  }
  if (alert_ != nullptr && shown != nullptr && alert_->controllerId() == shown->instanceId()) {
    return;
  }
  if (alert_ == nullptr && shown == nullptr) return;
  if (alert_ != nullptr) {
    alert_->forget();
    alert_->deleteLater();  // the dialog already shows the next alert, or none
  }
  alert_ = shown != nullptr ? new AlertBridge(*this, *shown, this) : nullptr;
  emit alertChanged();
}

}  // namespace allot::qt
