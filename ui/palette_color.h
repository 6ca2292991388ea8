// The toolkit colour of an envelope's colour number, from the five-colour palette. A number
// outside the palette (possible only through stored data edited by hand) has no colour.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/kit/color.h"

namespace allot {

std::optional<kit::Color> paletteColor(std::int64_t colorNumber);

}  // namespace allot
