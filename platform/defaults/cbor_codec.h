// CBOR encoding of a Value: doubles stay doubles (NaN, infinities and -0.0 included), integers stay
// integers, strings and lists keep their contents and order. Decoding refuses anything else
// (maps, booleans, null, tags, damaged bytes) instead of guessing.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/defaults/value.h"

namespace allot {

std::vector<std::uint8_t> encodeCbor(const Value& value);
std::optional<Value> decodeCbor(std::span<const std::uint8_t> bytes);

}  // namespace allot
