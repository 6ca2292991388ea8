// CBOR encoding of a Value: doubles stay doubles (NaN, infinities and -0.0 included), integers stay
// integers, strings and lists keep their contents and order. Decoding refuses anything else
// (maps, booleans, null, binary strings, tags, integers beyond 64 bits, lists nested more than
// kMaxCborNesting deep, truncated or trailing bytes) instead of guessing. A list can also be
// written as its head (kind and length) and its items apart, for a store that keeps each item on
// its own row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/defaults/status.h"
#include "platform/defaults/value.h"

namespace allot {

// Deepest list nesting that decodeCbor accepts; a bare value is depth 0.
inline constexpr std::size_t kMaxCborNesting = 64;

std::vector<std::uint8_t> encodeCbor(const Value& value);
// The one value that the bytes encode, into *value; unreadable, with *value untouched, when they
// are anything else.
Status decodeCbor(std::span<const std::uint8_t> bytes, std::optional<Value>* value);

// Appends the encoding of `value` to `out`.
void appendCbor(std::vector<std::uint8_t>& out, const Value& value);
// The same for a list of texts or of doubles kept in a vector, without a Value for each item.
void appendCbor(std::vector<std::uint8_t>& out, const std::vector<std::string>& texts);
void appendCbor(std::vector<std::uint8_t>& out, const std::vector<double>& numbers);
// How many bytes those encodings take.
std::size_t cborSize(const std::vector<std::string>& texts);
std::size_t cborSize(const std::vector<double>& numbers);

// A list kept apart: its head alone, then each item encoded on its own.
void appendCborListHead(std::vector<std::uint8_t>& out, std::uint64_t length);
// Whether the bytes begin a list (well formed or not).
bool startsCborList(std::span<const std::uint8_t> bytes);
// The length that a list head says, when the bytes are exactly one such head.
std::optional<std::uint64_t> decodeCborListHead(std::span<const std::uint8_t> bytes);
// One item of a list kept apart: as decodeCbor, with one level of nesting taken by the list.
Status decodeCborListItem(std::span<const std::uint8_t> bytes, std::optional<Value>* value);

}  // namespace allot
