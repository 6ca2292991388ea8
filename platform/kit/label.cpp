#include "platform/kit/label.h"

namespace allot::kit {

void Label::setText(std::optional<std::string> text) {
  if (text_ == text) return;
  text_ = std::move(text);
  noteChange();
}

}  // namespace allot::kit
