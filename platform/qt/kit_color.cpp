#include "platform/qt/kit_color.h"

#include <algorithm>

namespace allot::qt {

QColor toQColor(const kit::Color& color) {
  const kit::Color::Components srgb = color.srgb();
  // Display P3 is wider than sRGB: what lies outside is clipped to the nearest sRGB colour.
  auto clip = [](double component) { return std::clamp(component, 0.0, 1.0); };
  return QColor::fromRgbF(static_cast<float>(clip(srgb.red)), static_cast<float>(clip(srgb.green)),
                          static_cast<float>(clip(srgb.blue)),
                          static_cast<float>(clip(srgb.alpha)));
}

QColor toQColor(const std::optional<kit::Color>& color) {
  return color ? toQColor(*color) : QColor(Qt::transparent);
}

}  // namespace allot::qt
