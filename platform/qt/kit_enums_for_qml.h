// The kit's own enumerations as the layout reads them, declared once, in the kit: a label's tone
// (LabelTone.Negative) and an alert action's style (AlertActionStyle.Cancel). Nothing here but
// their registration with QML.
#pragma once

#include <QtQml/qqmlregistration.h>
#include <QObject>

#include "platform/kit/alert_action.h"
#include "platform/kit/label.h"

namespace allot::qt::kit_enums {

namespace label_tone {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(allot::kit::label_tone)
QML_NAMED_ELEMENT(LabelTone)
}  // namespace label_tone

namespace alert_action_style {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(allot::kit)
QML_NAMED_ELEMENT(AlertActionStyle)
}  // namespace alert_action_style

}  // namespace allot::qt::kit_enums
