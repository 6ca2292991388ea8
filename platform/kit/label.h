// Label: a view that shows a text, which may be absent (nothing shown).
#pragma once

#include <optional>
#include <string>

#include "platform/kit/view.h"

namespace allot::kit {

class Label : public View {
 public:
  using View::View;

  const std::optional<std::string>& text() const { return text_; }
  void setText(std::optional<std::string> text);

 private:
  std::optional<std::string> text_;
};

}  // namespace allot::kit
