#include "ui/qml/layout_names_bridge.h"

#include <QMetaEnum>
#include <QtDebug>

namespace allot {
namespace {

QString known(std::string_view name, const char* what) {
  if (name.empty()) qWarning("Allot: the layout asked for an unknown %s", what);
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

QString LayoutNamesBridge::outlet(layout::Outlet outlet) const {
  return known(layout::name(outlet), "outlet");
}

QString LayoutNamesBridge::cellLabel(layout::CellLabel label) const {
  return known(layout::name(label), "cell label");
}

QString LayoutNamesBridge::barItem(layout::BarItem item) const {
  return known(layout::name(item), "bar item");
}

QUrl LayoutNamesBridge::fileOf(layout::Scene scene) {
  return QUrl(QStringLiteral("qrc:/Allot/") + known(layout::name(scene), "scene") +
              QStringLiteral("Scene.qml"));
}

QUrl LayoutNamesBridge::sceneFile(const QString& sceneName) const {
  const QMetaEnum scenes = QMetaEnum::fromType<layout::Scene>();
  for (int i = 0; i < scenes.keyCount(); ++i) {
    const auto scene = static_cast<layout::Scene>(scenes.value(i));
    if (known(layout::name(scene), "scene") == sceneName) return fileOf(scene);
  }
  qWarning("Allot: no layout for the scene \"%s\"", qPrintable(sceneName));
  return {};
}

}  // namespace allot
