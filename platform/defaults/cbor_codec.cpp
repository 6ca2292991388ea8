#include "platform/defaults/cbor_codec.h"

#include <bit>
#include <exception>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>

namespace allot {
namespace {

constexpr std::uint8_t kUnsignedMajor = 0;
constexpr std::uint8_t kNegativeMajor = 1;
constexpr std::uint8_t kTextMajor = 3;
constexpr std::uint8_t kArrayMajor = 4;
constexpr std::uint8_t kDoubleHead = 0xFB;  // major 7, eight-byte IEEE 754 follows

void appendBigEndian(std::vector<std::uint8_t>& out, std::uint64_t number, int byteCount) {
  for (int shift = 8 * (byteCount - 1); shift >= 0; shift -= 8) {
    out.push_back(static_cast<std::uint8_t>(number >> shift));
  }
}

void appendHead(std::vector<std::uint8_t>& out, std::uint8_t major, std::uint64_t argument) {
  const auto head = static_cast<std::uint8_t>(major << 5);
  if (argument < 24) {
    out.push_back(static_cast<std::uint8_t>(head | argument));
  } else if (argument <= 0xFF) {
    out.push_back(head | 24);
    appendBigEndian(out, argument, 1);
  } else if (argument <= 0xFFFF) {
    out.push_back(head | 25);
    appendBigEndian(out, argument, 2);
  } else if (argument <= 0xFFFFFFFF) {
    out.push_back(head | 26);
    appendBigEndian(out, argument, 4);
  } else {
    out.push_back(head | 27);
    appendBigEndian(out, argument, 8);
  }
}

// Doubles are always written as eight bytes, never shortened: nlohmann's own writer turns every
// NaN into one canonical half-precision NaN, which would lose the sign and payload bits.
void appendValue(std::vector<std::uint8_t>& out, const Value& value) {
  if (const double* number = value.asDouble()) {
    out.push_back(kDoubleHead);
    appendBigEndian(out, std::bit_cast<std::uint64_t>(*number), 8);
  } else if (const std::int64_t* integer = value.asInteger()) {
    if (*integer >= 0) {
      appendHead(out, kUnsignedMajor, static_cast<std::uint64_t>(*integer));
    } else {
      appendHead(out, kNegativeMajor, static_cast<std::uint64_t>(-1 - *integer));
    }
  } else if (const std::string* text = value.asString()) {
    appendHead(out, kTextMajor, text->size());
    out.insert(out.end(), text->begin(), text->end());
  } else {
    const Value::List& items = *value.asList();
    appendHead(out, kArrayMajor, items.size());
    for (const Value& item : items) appendValue(out, item);
  }
}

// Builds a Value straight from nlohmann's parse events. Returning false from any event stops the
// parse, so refused kinds and over-deep nesting end it before nlohmann recurses any further.
class ValueBuilder {
 public:
  using json = nlohmann::json;

  explicit ValueBuilder(std::size_t inputSize) : inputSize_(inputSize) {}

  bool null() { return false; }
  bool boolean(bool) { return false; }
  // nlohmann reports CBOR's negative integers here as -1 - n; an n beyond INT64_MAX wraps
  // around to a result >= 0, which a genuine negative integer never has.
  bool number_integer(json::number_integer_t number) {
    return number < 0 && add(std::int64_t{number});
  }
  bool number_unsigned(json::number_unsigned_t number) {
    if (number > static_cast<json::number_unsigned_t>(std::numeric_limits<std::int64_t>::max())) {
      return false;
    }
    return add(static_cast<std::int64_t>(number));
  }
  bool number_float(json::number_float_t number, const json::string_t&) {
    return add(double{number});
  }
  bool string(json::string_t& text) { return add(std::move(text)); }
  bool binary(json::binary_t&) { return false; }
  bool start_object(std::size_t) { return false; }
  bool key(json::string_t&) { return false; }
  bool end_object() { return false; }
  bool start_array(std::size_t length) {
    if (open_.size() >= kMaxCborNesting) return false;
    open_.emplace_back();
    // Every item takes at least one byte, so a length beyond the input is a lie: do not trust it
    // for the reservation. Indefinite-length arrays report the largest size_t.
    if (length <= inputSize_) open_.back().reserve(length);
    return true;
  }
  bool end_array() {
    Value::List items = std::move(open_.back());
    open_.pop_back();
    return add(std::move(items));
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) {
    return false;
  }

  std::optional<Value> result() {
    if (!open_.empty()) return std::nullopt;
    return std::move(root_);
  }

 private:
  // Builds the Value in place: in the open list, or as the one top-level value.
  template <typename Item>
  bool add(Item&& item) {
    if (open_.empty()) {
      if (root_) return false;
      root_.emplace(std::forward<Item>(item));
    } else {
      open_.back().emplace_back(std::forward<Item>(item));
    }
    return true;
  }

  std::size_t inputSize_;
  std::vector<Value::List> open_;
  std::optional<Value> root_;
};

}  // namespace

std::vector<std::uint8_t> encodeCbor(const Value& value) {
  std::vector<std::uint8_t> out;
  appendValue(out, value);
  return out;
}

std::optional<Value> decodeCbor(std::span<const std::uint8_t> bytes) {
  ValueBuilder builder(bytes.size());
  try {
    const bool complete =
        nlohmann::json::sax_parse(bytes.data(), bytes.data() + bytes.size(), &builder,
                                  nlohmann::json::input_format_t::cbor, /*strict=*/true);
    if (!complete) return std::nullopt;
  } catch (const std::exception&) {
    // Out of memory for a string of absurd claimed length, or any error nlohmann throws instead
    // of reporting: the bytes are refused either way.
    return std::nullopt;
  }
  return builder.result();
}

}  // namespace allot
