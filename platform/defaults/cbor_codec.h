// CBOR encoding of a Value: doubles stay doubles (NaN, infinities and -0.0 included), integers stay
// integers, strings and lists keep their contents and order. Decoding refuses anything else
// (maps, booleans, null, binary strings, tags, integers beyond 64 bits, lists nested more than
// kMaxCborNesting deep, truncated or trailing bytes) instead of guessing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/defaults/value.h"

namespace allot {

// Deepest list nesting that decodeCbor accepts; a bare value is depth 0.
inline constexpr std::size_t kMaxCborNesting = 64;

std::vector<std::uint8_t> encodeCbor(const Value& value);
std::optional<Value> decodeCbor(std::span<const std::uint8_t> bytes);

}  // namespace allot
