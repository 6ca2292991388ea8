// ShownBarItem: one left item of a navigation bar, as a typed value for the layout: its title and
// the identifier it carries (the object name the screen tests find it by; empty when it has none).
#pragma once

#include <QtQml/qqmlregistration.h>
#include <QString>

namespace allot::qt {

struct ShownBarItem {
  Q_GADGET
  QML_VALUE_TYPE(shownBarItem)
  Q_PROPERTY(QString title MEMBER title)
  Q_PROPERTY(QString identifier MEMBER identifier)

 public:
  QString title;
  QString identifier;
  friend bool operator==(const ShownBarItem&, const ShownBarItem&) = default;
};

}  // namespace allot::qt
