#include "app/qt_screen.h"

#include <QGuiApplication>
#include <QQmlEngineExtensionPlugin>
#include <QQuickStyle>
#include <QQuickWindow>

#include "platform/qt/return_activates_buttons.h"
#include "platform/qt/scene_graph_choice.h"

// The QML modules are linked in statically.
Q_IMPORT_QML_PLUGIN(AllotKitPlugin)
Q_IMPORT_QML_PLUGIN(AllotPlugin)

namespace allot {

QtScreen::QtScreen(kit::Application& application)
    : bridge_(application), lifecycle_(application, bridge_), autoSave_(application, bridge_) {
  // Material follows the system's light or dark preference; the scene graph suits the machine.
  static const bool styleChosen = [] {
    if (qEnvironmentVariableIsEmpty("QT_QUICK_CONTROLS_STYLE")) QQuickStyle::setStyle("Material");
    qt::SceneGraphChoice::apply();
    return true;
  }();
  (void)styleChosen;
  // The About screen shows it.
  QGuiApplication::setApplicationVersion(QStringLiteral(ALLOT_VERSION));
  engine_.addImportPath(QStringLiteral(":/"));
}

bool QtScreen::show() {
  engine_.setInitialProperties({{"kit", QVariant::fromValue(&bridge_)}});
  engine_.load(QUrl(QStringLiteral("qrc:/Allot/Main.qml")));
  if (window() == nullptr) return false;
  qt::ReturnActivatesButtons::install(*window());
  return true;
}

QQuickWindow* QtScreen::window() const {
  const auto roots = engine_.rootObjects();
  return roots.isEmpty() ? nullptr : qobject_cast<QQuickWindow*>(roots.first());
}

}  // namespace allot
