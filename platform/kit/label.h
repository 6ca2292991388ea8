// Label: a view that shows a text, which may be absent (nothing shown), in a tone: plain, or
// negative (an amount below zero, which the screen draws in its warning colour). The display
// layer's build (ALLOT_KIT_FOR_QML) and moc also see the tone as a Qt enumeration, which the
// layout reads as it is declared here; the guarded lines add only static members.
#pragma once

#include <optional>
#include <string>

#include "platform/kit/view.h"

#if defined(Q_MOC_RUN) || defined(ALLOT_KIT_FOR_QML)
#include <QtCore/qobjectdefs.h>
#endif

namespace allot::kit {

class Label : public View {
#if defined(Q_MOC_RUN) || defined(ALLOT_KIT_FOR_QML)
  Q_GADGET
#endif
 public:
  enum class Tone { Plain, Negative };
#if defined(Q_MOC_RUN) || defined(ALLOT_KIT_FOR_QML)
  Q_ENUM(Tone)
#endif

  using View::View;

  const std::optional<std::string>& text() const {
    return text_;
  }
  void setText(std::optional<std::string> text);
  Tone tone() const {
    return tone_;
  }
  void setTone(Tone tone);

 private:
  std::optional<std::string> text_;
  Tone tone_ = Tone::Plain;
};

}  // namespace allot::kit
