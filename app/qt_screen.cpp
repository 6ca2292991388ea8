#include "app/qt_screen.h"

#include <QQmlContext>
#include <QQuickStyle>
#include <QQuickWindow>

namespace allot {

QtScreen::QtScreen(kit::Application& application)
    : bridge_(application), lifecycle_(application, bridge_), autoSave_(application, bridge_) {
  // Material follows the system's light or dark preference.
  static const bool styleChosen = [] {
    if (qEnvironmentVariableIsEmpty("QT_QUICK_CONTROLS_STYLE")) QQuickStyle::setStyle("Material");
    return true;
  }();
  (void)styleChosen;
  engine_.rootContext()->setContextProperty("kit", &bridge_);
}

bool QtScreen::show() {
  engine_.load(QUrl("qrc:/allot/qml/Main.qml"));
  return window() != nullptr;
}

QQuickWindow* QtScreen::window() const {
  const auto roots = engine_.rootObjects();
  return roots.isEmpty() ? nullptr : qobject_cast<QQuickWindow*>(roots.first());
}

}  // namespace allot
