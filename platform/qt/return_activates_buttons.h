// ReturnActivatesButtons: makes Return and Enter press the button that has the keyboard focus,
// as Space already does in Qt Quick Controls, for every button of a window. Keys on anything else
// (a text field's Return included) pass through untouched.
#pragma once

#include <QObject>

class QQuickWindow;

namespace allot::qt {

class ReturnActivatesButtons : public QObject {
 public:
  // Watches `window`'s key events for as long as the window lives.
  static void install(QQuickWindow& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  using QObject::QObject;
};

}  // namespace allot::qt
