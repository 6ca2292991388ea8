// The logic behind the envelope editor: the five envelope colours, name validation, adding an
// envelope and renaming or recolouring one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/budget_store.h"

namespace allot {

// A colour in the Display P3 colour space, components 0 to 1.
struct P3Color {
  double red, green, blue, alpha;
};

inline constexpr std::int64_t defaultColorNumber = 2;  // green

// Red, yellow, green, blue and purple, indexed by colour number; built once, never changed.
const std::array<P3Color, 5>& colorPalette();

// Absent and empty names are refused; anything else is taken as it is.
bool isValidEnvelopeName(const std::optional<std::string>& text);

// Appends the envelope with balance 0 and its "Added '<name>'" entry; returns the same sentence for
// the results label, the name isolated in it.
std::string addEnvelope(BudgetStore& store, std::string name, std::int64_t colorNumber);

// Gives envelope n a new name and colour, keeps its place, balance and entries, and appends an
// "Edited '<name>'" entry without applying the transaction limit.
void updateEnvelope(BudgetStore& store, std::size_t envelopeNumber, std::string name,
                    std::int64_t colorNumber);

}  // namespace allot
