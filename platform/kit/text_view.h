// TextView: a scrolling view of a longer, read-only text. Its content offset is the point of the
// text shown at the view's top-left corner; (0, 0) shows the text from its first line.
#pragma once

#include <optional>
#include <string>

#include "platform/kit/geometry.h"
#include "platform/kit/view.h"

namespace allot::kit {

class TextView : public View {
 public:
  using View::View;

  const std::optional<std::string>& text() const { return text_; }
  void setText(std::optional<std::string> text);

  Point contentOffset() const { return contentOffset_; }
  // Scrolls at once; `animated` is accepted for the platform's signature (nothing animates here).
  void setContentOffset(Point offset, bool animated);

 private:
  std::optional<std::string> text_;
  Point contentOffset_;
};

}  // namespace allot::kit
