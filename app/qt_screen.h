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
  // What the window needs before there is an application to show: the style, the scene graph,
  // and an engine that has loaded the QML modules and compiled the window and its first screen,
  // which takes as long as a large budget's load, so that the two may run side by side.
  static std::unique_ptr<QQmlApplicationEngine> prepareEngine();

  explicit QtScreen(kit::Application& application,
                    std::unique_ptr<QQmlApplicationEngine> engine = prepareEngine());

  // Loads the window; false (with the reason on standard error) when QML could not be loaded.
  bool show();
  QQuickWindow* window() const;
  qt::KitBridge& bridge() { return bridge_; }
  qt::ApplicationLifecycle& lifecycle() { return lifecycle_; }
  qt::AutoSave& autoSave() { return autoSave_; }
  QQmlApplicationEngine& engine() { return *engine_; }

 private:
  qt::KitBridge bridge_;
  qt::ApplicationLifecycle lifecycle_;
  qt::AutoSave autoSave_;
  std::unique_ptr<QQmlApplicationEngine> engine_;
};

}  // namespace allot
