#include "platform/kit/text_view.h"

namespace allot::kit {

void TextView::setText(std::optional<std::string> text) {
  if (text_ == text) return;
  text_ = std::move(text);
  noteChange();
}

void TextView::setContentOffset(Point offset, bool /*animated*/) {
  if (contentOffset_ == offset) return;
  contentOffset_ = offset;
  noteChange();
}

}  // namespace allot::kit
