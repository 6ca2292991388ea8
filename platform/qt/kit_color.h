// Converts the kit's Display P3 colours to the sRGB QColor that the screen paints with.
#pragma once

#include <QColor>
#include <optional>

#include "platform/kit/color.h"

namespace allot::qt {

QColor toQColor(const kit::Color& color);
// Transparent when there is no colour.
QColor toQColor(const std::optional<kit::Color>& color);

}  // namespace allot::qt
