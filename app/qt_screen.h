// QtScreen: puts a launched kit application on the display: the bridge, the lifecycle mapping,
// the saving of changes soon after they are made, and the QML window with the application's
// scenes. Used by main() and by the screen tests.
#pragma once

#include <QQmlApplicationEngine>
#include <memory>

#include "platform/kit/application.h"
#include "platform/qt/application_lifecycle.h"
#include "platform/qt/auto_save.h"
#include "platform/qt/kit_bridge.h"

class QQuickWindow;

namespace allot {

class QtScreen {
 public:
  explicit QtScreen(kit::Application& application);

  // Loads the window; false (with the reason on standard error) when QML could not be loaded.
  bool show();
  QQuickWindow* window() const;
  qt::KitBridge& bridge() { return bridge_; }
  qt::ApplicationLifecycle& lifecycle() { return lifecycle_; }
  qt::AutoSave& autoSave() { return autoSave_; }
  QQmlApplicationEngine& engine() { return engine_; }

 private:
  qt::KitBridge bridge_;
  qt::ApplicationLifecycle lifecycle_;
  qt::AutoSave autoSave_;
  QQmlApplicationEngine engine_;
};

}  // namespace allot
