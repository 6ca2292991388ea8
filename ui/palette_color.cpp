#include "ui/palette_color.h"

#include "core/envelope_editing.h"

namespace allot {

std::optional<kit::Color> paletteColor(std::int64_t colorNumber) {
  const auto& palette = colorPalette();
  if (colorNumber < 0 || static_cast<std::size_t>(colorNumber) >= palette.size()) {
    return std::nullopt;
  }
  const P3Color& p3 = palette[static_cast<std::size_t>(colorNumber)];
  return kit::Color(p3.red, p3.green, p3.blue, p3.alpha);
}

}  // namespace allot
