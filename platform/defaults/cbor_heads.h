// The few CBOR head values (RFC 8949) that the store's encoder writes and its decoders read: the
// major types of integers, texts and arrays, and the head of an eight-byte double. Nothing else.
#pragma once

#include <cstdint>

namespace allot::cbor {

inline constexpr std::uint8_t kUnsignedMajor = 0;
inline constexpr std::uint8_t kNegativeMajor = 1;
inline constexpr std::uint8_t kTextMajor = 3;
inline constexpr std::uint8_t kArrayMajor = 4;
inline constexpr std::uint8_t kSimpleMajor = 7;  // floats live here, beside booleans and null
inline constexpr std::uint8_t kDoubleInfo = 27;  // an eight-byte IEEE 754 double follows
inline constexpr std::uint8_t kDoubleHead = kSimpleMajor << 5 | kDoubleInfo;  // 0xFB

}  // namespace allot::cbor
