#include "platform/qt/return_activates_buttons.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QQuickItem>
#include <QQuickWindow>

namespace allot::qt {

void ReturnActivatesButtons::install(QQuickWindow& window) {
  window.installEventFilter(new ReturnActivatesButtons(&window));
}

bool ReturnActivatesButtons::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
  auto* window = static_cast<QQuickWindow*>(watched);
  QQuickItem* focused = window->activeFocusItem();
  if (focused == nullptr || !focused->inherits("QQuickAbstractButton")) return false;
  // The button sees Space, the key it already answers to.
  QKeyEvent space(event->type(), Qt::Key_Space, key->modifiers(), QStringLiteral(" "),
                  key->isAutoRepeat());
  QCoreApplication::sendEvent(focused, &space);
  return true;
}

}  // namespace allot::qt
