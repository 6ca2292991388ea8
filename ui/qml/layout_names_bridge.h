// LayoutNamesBridge: the QML singleton Names, which turns the Storyboard enumerations (declared
// once, in ui/layout_names.h) into the identifiers the kit's views carry and into the QML file of a
// scene, so that the layout asks for its views by enumeration and never by spelling their names.
// A name it does not know is an error on the console and an empty answer, which the screen tests
// fail on.
#pragma once

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QString>
#include <QUrl>

#include "ui/layout_names.h"

namespace allot {

class LayoutNamesBridge : public QObject {
  Q_OBJECT
  QML_NAMED_ELEMENT(Names)
  QML_SINGLETON

 public:
  using QObject::QObject;

  Q_INVOKABLE QString outlet(allot::layout::Outlet outlet) const;
  Q_INVOKABLE QString cellLabel(allot::layout::CellLabel label) const;
  Q_INVOKABLE QString barItem(allot::layout::BarItem item) const;
  // The QML file that lays out the scene the kit names so.
  Q_INVOKABLE QUrl sceneFile(const QString& sceneName) const;
  static QUrl fileOf(layout::Scene scene);
};

}  // namespace allot
