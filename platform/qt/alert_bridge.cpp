#include "platform/qt/alert_bridge.h"

#include "platform/kit/alert_controller.h"
#include "platform/kit/gestures.h"
#include "platform/qt/kit_bridge.h"

namespace allot::qt {

AlertBridge::AlertBridge(KitBridge& kit, kit::AlertController& alert, QObject* parent)
    : QObject(parent), kit_(kit), alert_(&alert), controllerId_(alert.instanceId()) {
  if (alert.title()) title_ = QString::fromStdString(*alert.title());
  if (alert.message()) message_ = QString::fromStdString(*alert.message());
  for (const kit::AlertAction& action : alert.actions()) {
    actions_.append(QVariant::fromValue(
        AlertButton{.title = QString::fromStdString(action.title()), .style = action.style()}));
  }
}

bool AlertBridge::tap(int index) {
  return alert_ != nullptr && index >= 0 && kit_.perform([index](kit::Gestures& user) {
    return user.tapAlertAction(static_cast<std::size_t>(index));
  });
}

}  // namespace allot::qt
