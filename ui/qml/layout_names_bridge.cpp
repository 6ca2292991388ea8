#include "ui/qml/layout_names_bridge.h"

#include <QMetaEnum>
#include <QtDebug>

#include "ui/about_text.h"
#include "ui/qml/shown_paragraph.h"

namespace allot {
namespace {

QString known(std::string_view name, const char* what) {
  if (name.empty()) qWarning("Allot: the layout asked for an unknown %s", what);
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

qt::ViewBridge* LayoutNamesBridge::outlet(qt::SceneBridge* scene, layout::Outlet outlet) const {
  return scene != nullptr ? scene->outlet(layout::name(outlet)) : nullptr;
}

qt::CellLabel LayoutNamesBridge::cellLabel(const qt::CellLabels& labels,
                                           layout::CellLabel label) const {
  if (const qt::CellLabel* found = labels.find(layout::name(label))) return *found;
  qWarning("Allot: the cell has no label %s", qPrintable(cellLabelName(label)));
  return {};
}

bool LayoutNamesBridge::tapBarItem(qt::SceneBridge* scene, layout::BarItem item) const {
  return scene != nullptr && scene->tapBarItem(layout::name(item));
}

QVariantList LayoutNamesBridge::aboutParagraphs() const {
  QVariantList paragraphs;
  for (const AboutParagraph& paragraph : allot::aboutParagraphs()) {
    const bool title = paragraph.kind == AboutParagraph::Kind::Title;
    paragraphs << QVariant::fromValue(ShownParagraph{
        .text =
            QString::fromUtf8(paragraph.text.data(), static_cast<qsizetype>(paragraph.text.size())),
        .title = title,
        .heading = title || paragraph.kind == AboutParagraph::Kind::Heading});
  }
  return paragraphs;
}

QUrl LayoutNamesBridge::fileOf(layout::Scene scene) {
  switch (scene) {
    case layout::Scene::EnvelopeList:
      return QUrl(QStringLiteral("qrc:/Allot/EnvelopeListScene.qml"));
    case layout::Scene::Transactions:
      return QUrl(QStringLiteral("qrc:/Allot/TransactionsScene.qml"));
    case layout::Scene::EnvelopeEditor:
      return QUrl(QStringLiteral("qrc:/Allot/EnvelopeEditorScene.qml"));
    case layout::Scene::About:
      return QUrl(QStringLiteral("qrc:/Allot/AboutScene.qml"));
  }
  return {};
}

QUrl LayoutNamesBridge::sceneFile(qt::SceneBridge* scene) const {
  if (scene == nullptr) return {};
  const QMetaEnum scenes = QMetaEnum::fromType<layout::Scene>();
  for (int i = 0; i < scenes.keyCount(); ++i) {
    const auto candidate = static_cast<layout::Scene>(scenes.value(i));
    if (layout::name(candidate) == scene->sceneName()) return fileOf(candidate);
  }
  qWarning("Allot: no layout for the scene \"%s\"", scene->sceneName().c_str());
  return {};
}

QString LayoutNamesBridge::outletName(layout::Outlet outlet) const {
  return known(layout::name(outlet), "outlet");
}

QString LayoutNamesBridge::cellLabelName(layout::CellLabel label) const {
  return known(layout::name(label), "cell label");
}

QString LayoutNamesBridge::itemName(layout::Item item) const {
  return known(layout::name(item), "item");
}

}  // namespace allot
