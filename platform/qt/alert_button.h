// AlertButton: one action of the alert on display, as a typed value for the layout: its title and
// the kit's own style (which the layout draws: bold for Cancel, red for Destructive).
#pragma once

#include <QtQml/qqmlregistration.h>
#include <QString>

#include "platform/kit/alert_action.h"

namespace allot::qt {

struct AlertButton {
  Q_GADGET
  QML_VALUE_TYPE(alertButton)
  Q_PROPERTY(QString title MEMBER title)
  Q_PROPERTY(allot::kit::AlertActionStyle style MEMBER style)

 public:
  QString title;
  kit::AlertActionStyle style = kit::AlertActionStyle::Default;
};

}  // namespace allot::qt
