#include "app/qt_screen.h"

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngineExtensionPlugin>
#include <QQuickStyle>
#include <QQuickWindow>

#include "app/window_frame.h"
#include "platform/qt/return_activates_buttons.h"
#include "platform/qt/scene_graph_choice.h"
#include "ui/qml/layout_names_bridge.h"

// The QML modules are linked in statically.
Q_IMPORT_QML_PLUGIN(AllotKitPlugin)
Q_IMPORT_QML_PLUGIN(AllotPlugin)

namespace allot {

namespace {

const char* const kWindowFile = "qrc:/Allot/Main.qml";

}  // namespace

std::unique_ptr<QQmlApplicationEngine> QtScreen::prepareEngine() {
  // Material follows the system's light or dark preference; the scene graph suits the machine.
  static const bool styleChosen = [] {
    if (qEnvironmentVariableIsEmpty("QT_QUICK_CONTROLS_STYLE")) QQuickStyle::setStyle("Material");
    qt::SceneGraphChoice::apply();
    return true;
  }();
  (void)styleChosen;
  // The About screen shows it.
  QGuiApplication::setApplicationVersion(QStringLiteral(ALLOT_VERSION));
  auto engine = std::make_unique<QQmlApplicationEngine>();
  engine->addImportPath(QStringLiteral(":/"));
  // The engine keeps a compiled type while a component holds it: these live as long as it does.
  for (const QUrl& file : {QUrl(QString::fromLatin1(kWindowFile)),
                           LayoutNamesBridge::fileOf(layout::Scene::EnvelopeList)}) {
    new QQmlComponent(engine.get(), file, engine.get());
  }
  return engine;
}

QtScreen::QtScreen(kit::Application& application, std::unique_ptr<QQmlApplicationEngine> engine)
    : bridge_(application),
      lifecycle_(application, bridge_),
      autoSave_(application, bridge_),
      engine_(std::move(engine)) {}

bool QtScreen::show() {
  // The room a window manager's frame takes from the first size; none where nothing frames it.
  constexpr int kFrameAllowance = 48;
  engine_->setInitialProperties({{"kit", QVariant::fromValue(&bridge_)},
                                 {"frameAllowance", WindowFrame::isDrawn() ? kFrameAllowance : 0}});
  engine_->load(QUrl(QString::fromLatin1(kWindowFile)));
  if (window() == nullptr) return false;
  qt::ReturnActivatesButtons::install(*window());
  return true;
}

QQuickWindow* QtScreen::window() const {
  const auto roots = engine_->rootObjects();
  return roots.isEmpty() ? nullptr : qobject_cast<QQuickWindow*>(roots.first());
}

}  // namespace allot
