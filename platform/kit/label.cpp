#include "platform/kit/label.h"

namespace allot::kit {

void Label::setText(std::optional<std::string> text) {
  if (text_ == text) return;
  text_ = std::move(text);
  noteChange();
}

void Label::setTone(Tone tone) {
  if (tone_ == tone) return;
  tone_ = tone;
  noteChange();
}

}  // namespace allot::kit
