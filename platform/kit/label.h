// Label: a view that shows a text, which may be absent (nothing shown), in a tone: plain, or
// negative (an amount below zero, which the screen draws in its warning colour).
#pragma once

#include <optional>
#include <string>

#include "platform/kit/view.h"

namespace allot::kit {

class Label : public View {
 public:
  enum class Tone { Plain, Negative };

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
