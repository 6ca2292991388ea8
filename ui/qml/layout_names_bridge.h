// LayoutNamesBridge: the QML singleton Names, through which the layout reaches the kit's views by
// the Storyboard enumerations (declared once, in ui/layout_names.h): a scene's outlets, its cells'
// labels, its bar items and the QML file that lays it out; and the About text's paragraphs with
// their kinds. The identifiers the kit's views carry
// stay in here; the layout spells none, except as the object names the screen tests find items
// by, which come from the same enumerations. A name it does not know is an error on the console
// and an empty answer, which the screen tests fail on.
#pragma once

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariantList>

#include "platform/qt/cell_label.h"
#include "platform/qt/scene_bridge.h"
#include "platform/qt/view_bridge.h"
#include "ui/layout_names.h"

namespace allot {

class LayoutNamesBridge : public QObject {
  Q_OBJECT
  QML_NAMED_ELEMENT(Names)
  QML_SINGLETON

 public:
  using QObject::QObject;

  // The scene's view behind the outlet; null when there is no scene.
  Q_INVOKABLE allot::qt::ViewBridge* outlet(allot::qt::SceneBridge* scene,
                                            allot::layout::Outlet outlet) const;
  // One of the labels a cell adds.
  Q_INVOKABLE allot::qt::CellLabel cellLabel(const allot::qt::CellLabels& labels,
                                             allot::layout::CellLabel label) const;
  // Taps the bar item when the scene's bar shows it; false otherwise.
  Q_INVOKABLE bool tapBarItem(allot::qt::SceneBridge* scene, allot::layout::BarItem item) const;
  // The About text's paragraphs, a ShownParagraph each.
  Q_INVOKABLE QVariantList aboutParagraphs() const;
  // The QML file that lays out the scene.
  Q_INVOKABLE QUrl sceneFile(allot::qt::SceneBridge* scene) const;
  static QUrl fileOf(layout::Scene scene);

  // The object names of the items the screen tests find.
  Q_INVOKABLE QString outletName(allot::layout::Outlet outlet) const;
  Q_INVOKABLE QString cellLabelName(allot::layout::CellLabel label) const;
  Q_INVOKABLE QString itemName(allot::layout::Item item) const;
};

}  // namespace allot
