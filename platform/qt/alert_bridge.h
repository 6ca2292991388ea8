// AlertBridge: the alert on display, as QML sees it: title, message and actions (title and the
// kit's style), and the tap on an action. It forgets the kit's alert once the alert is gone.
#pragma once

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <cstdint>

#include "platform/qt/alert_button.h"

namespace allot::kit {
class AlertController;
}

namespace allot::qt {

class KitBridge;

class AlertBridge : public QObject {
  Q_OBJECT
  QML_ELEMENT
  QML_UNCREATABLE("Alerts come from the kit.")
  Q_PROPERTY(QString title READ title CONSTANT)
  Q_PROPERTY(QString message READ message CONSTANT)
  Q_PROPERTY(QVariantList actions READ actions CONSTANT)

 public:
  AlertBridge(KitBridge& kit, kit::AlertController& alert, QObject* parent);

  std::uint64_t controllerId() const { return controllerId_; }
  QString title() const { return title_; }
  QString message() const { return message_; }
  // An AlertButton each, in order.
  QVariantList actions() const { return actions_; }

  Q_INVOKABLE bool tap(int index);
  void forget() { alert_ = nullptr; }

 private:
  KitBridge& kit_;
  kit::AlertController* alert_;
  std::uint64_t controllerId_;
  QString title_;
  QString message_;
  QVariantList actions_;
};

}  // namespace allot::qt
