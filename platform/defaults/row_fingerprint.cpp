#include "platform/defaults/row_fingerprint.h"

#include <cstring>

namespace allot {
namespace {

// Odd 64-bit constants with well-mixed bits (from the digits of pi).
constexpr std::uint64_t kSeed = 0x243F6A8885A308D3;
constexpr std::uint64_t kKey0 = 0x13198A2E03707345;
constexpr std::uint64_t kKey1 = 0xA4093822299F31D1;
constexpr std::uint64_t kKey2 = 0x082EFA98EC4E6C89;

__extension__ typedef unsigned __int128 Wide;  // GCC and Clang on 64-bit targets

// Multiplies to 128 bits and folds the halves together: every input bit reaches every output bit.
std::uint64_t fold(std::uint64_t a, std::uint64_t b) {
  const Wide product = static_cast<Wide>(a) * b;
  return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
}

std::uint64_t load(const std::uint8_t* at) {
  std::uint64_t word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

}  // namespace

RowFingerprint RowFingerprint::of(std::span<const std::uint8_t> bytes) {
  const std::uint8_t* at = bytes.data();
  std::size_t left = bytes.size();
  std::uint64_t state = kSeed ^ bytes.size();
  for (; left >= 16; at += 16, left -= 16) {
    state = fold(load(at) ^ kKey0, load(at + 8) ^ state ^ kKey1);
  }
  // The last 0 to 15 bytes, zero-padded; the length taken in above tells the padding apart.
  std::uint8_t tail[16] = {};
  if (left > 0) std::memcpy(tail, at, left);
  state = fold(load(tail) ^ kKey0, load(tail + 8) ^ state ^ kKey1);
  return {fold(state ^ kKey2, bytes.size() ^ kKey1), bytes.size()};
}

}  // namespace allot
