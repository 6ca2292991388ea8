// Label: a view that shows a text, which may be absent (nothing shown), in a tone: plain, or
// negative (an amount below zero, which the screen draws in its warning colour). The display
// layer's build (ALLOT_KIT_FOR_QML) and moc also see the tone as a Qt enumeration, which the
// layout reads as it is declared here. It lives in a namespace of its own so that those lines
// leave the class the same in every build.
#pragma once

#include <optional>
#include <string>

#include "platform/kit/view.h"

#if defined(Q_MOC_RUN) || defined(ALLOT_KIT_FOR_QML)
#include <QtCore/qobjectdefs.h>
#endif

namespace allot::kit {

namespace label_tone {
#if defined(Q_MOC_RUN) || defined(ALLOT_KIT_FOR_QML)
Q_NAMESPACE
#endif
enum class Tone { Plain, Negative };
#if defined(Q_MOC_RUN) || defined(ALLOT_KIT_FOR_QML)
Q_ENUM_NS(Tone)
#endif
}  // namespace label_tone

class Label : public View {
 public:
  using Tone = label_tone::Tone;

  using View::View;

  const std::optional<std::string>& text() const { return text_; }
  void setText(std::optional<std::string> text);
  Tone tone() const { return tone_; }
  void setTone(Tone tone);

 private:
  std::optional<std::string> text_;
  Tone tone_ = Tone::Plain;
};

}  // namespace allot::kit
