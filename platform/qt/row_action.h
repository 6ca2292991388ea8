// RowAction: one thing a table row offers, as a typed value: opening it, one of the actions a
// swipe reveals (by its place among them), or moving it up or down in editing mode; with the
// title it shows, the name it is read by (the title on one line) and, for a swiped action, its
// colour. The table does it by its kind and place, never by its title.
#pragma once

#include <QtQml/qqmlregistration.h>
#include <QColor>
#include <QString>

namespace allot::qt {

struct RowAction {
  Q_GADGET
  QML_VALUE_TYPE(rowAction)
  Q_PROPERTY(QString title MEMBER title)
  Q_PROPERTY(QString name MEMBER name)
  Q_PROPERTY(QColor color MEMBER color)

 public:
  enum class Kind { Open, Swiped, MoveUp, MoveDown };
  Q_ENUM(Kind)

  Kind kind = Kind::Open;
  int index = 0;  // a swiped action's place among the row's
  QString title;
  QString name;
  QColor color;
  friend bool operator==(const RowAction&, const RowAction&) = default;
};

}  // namespace allot::qt
