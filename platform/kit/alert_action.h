// AlertAction: one button of an alert, with a title, a style and the handler that runs after the
// user tapped it and the alert went away. The display layer's build (ALLOT_KIT_FOR_QML) and moc
// also see the style as a Qt enumeration, which the layout reads as it is declared here.
#pragma once

#include <functional>
#include <string>

#if defined(Q_MOC_RUN) || defined(ALLOT_KIT_FOR_QML)
#include <QtCore/qobjectdefs.h>
#endif

namespace allot::kit {
#if defined(Q_MOC_RUN) || defined(ALLOT_KIT_FOR_QML)
Q_NAMESPACE
#endif

enum class AlertActionStyle { Default = 0, Cancel = 1, Destructive = 2 };
#if defined(Q_MOC_RUN) || defined(ALLOT_KIT_FOR_QML)
Q_ENUM_NS(AlertActionStyle)
#endif

class AlertAction {
 public:
  using Handler = std::function<void(AlertAction& action)>;

  AlertAction(std::string title, AlertActionStyle style, Handler handler)
      : title_(std::move(title)), style_(style), handler_(std::move(handler)) {}

  const std::string& title() const { return title_; }
  AlertActionStyle style() const { return style_; }

  void run() {
    if (handler_) handler_(*this);
  }

 private:
  std::string title_;
  AlertActionStyle style_;
  Handler handler_;
};

}  // namespace allot::kit
