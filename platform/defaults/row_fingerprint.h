// RowFingerprint: a compact stand-in for the bytes of one stored row (their length and a 64-bit
// hash), so that a writer can tell whether a row it is about to write differs from the row on
// disk without keeping or reading those bytes. It is not a cryptographic hash: it guards against
// accidents, not against someone crafting a collision.
#pragma once

#include <cstdint>
#include <span>

namespace allot {

struct RowFingerprint {
  std::uint64_t hash = 0;
  std::uint64_t size = 0;  // 0 for no row at all: no encoded value is empty

  static RowFingerprint of(std::span<const std::uint8_t> bytes);
  friend bool operator==(const RowFingerprint&, const RowFingerprint&) = default;
};

}  // namespace allot
