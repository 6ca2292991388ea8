// Decoding of the two kinds of list that a store holds by the hundred thousand items, texts and
// numbers, straight into the vectors that keep them: no Value per item, and each text allocated
// once at its final size. It takes only the forms that our encoder writes (definite lengths,
// eight-byte doubles, integers that fit 64 bits) and refuses everything else, leaving any other
// form to decodeCbor; whatever it accepts, decodeCbor decodes to the same contents.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace allot {

// The bytes are exactly one list of texts; `out` then holds them (and is unspecified on false).
bool decodeCborTexts(std::span<const std::uint8_t> bytes, std::vector<std::string>& out);

// The bytes are exactly one list of numbers; integers are taken as the nearest double.
bool decodeCborNumbers(std::span<const std::uint8_t> bytes, std::vector<double>& out);

}  // namespace allot
