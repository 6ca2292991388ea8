#include "platform/defaults/cbor_codec.h"

#include <bit>
#include <cstring>
#include <exception>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>

#include "platform/defaults/cbor_heads.h"

namespace allot {
namespace {

using namespace cbor;

// Encoding measures first, then writes through a plain pointer into room made once.
std::size_t headSize(std::uint64_t argument) {
  if (argument < 24) return 1;
  if (argument <= 0xFF) return 2;
  if (argument <= 0xFFFF) return 3;
  return argument <= 0xFFFFFFFF ? 5 : 9;
}

std::uint64_t integerArgument(std::int64_t integer) {
  return static_cast<std::uint64_t>(integer >= 0 ? integer : -1 - integer);
}

std::size_t encodedSize(const Value& value) {
  if (value.isDouble()) return 9;
  if (const std::int64_t* integer = value.asInteger()) return headSize(integerArgument(*integer));
  if (const std::string* text = value.asString()) return headSize(text->size()) + text->size();
  const Value::List& items = *value.asList();
  std::size_t size = headSize(items.size());
  for (const Value& item : items) size += encodedSize(item);
  return size;
}

std::uint8_t* putBigEndian(std::uint8_t* at, std::uint64_t number, std::size_t byteCount) {
  for (std::size_t i = byteCount; i-- > 0;) {
    at[i] = static_cast<std::uint8_t>(number);
    number >>= 8;
  }
  return at + byteCount;
}

std::uint8_t* putHead(std::uint8_t* at, std::uint8_t major, std::uint64_t argument) {
  const std::size_t size = headSize(argument);
  const auto head = static_cast<std::uint8_t>(major << 5);
  if (size == 1) {
    *at = static_cast<std::uint8_t>(head | argument);
    return at + 1;
  }
  // Sizes 2, 3, 5 and 9 carry 1, 2, 4 and 8 argument bytes: additional information 24 to 27.
  const std::size_t byteCount = size - 1;
  *at = static_cast<std::uint8_t>(head | (24 + std::countr_zero(byteCount)));
  return putBigEndian(at + 1, argument, byteCount);
}

// Doubles are always written as eight bytes, never shortened, so that every bit of a NaN survives.
std::uint8_t* putValue(std::uint8_t* at, const Value& value) {
  if (const double* number = value.asDouble()) {
    *at = static_cast<std::uint8_t>(kSimpleMajor << 5 | kDoubleInfo);
    return putBigEndian(at + 1, std::bit_cast<std::uint64_t>(*number), 8);
  }
  if (const std::int64_t* integer = value.asInteger()) {
    return putHead(at, *integer >= 0 ? kUnsignedMajor : kNegativeMajor, integerArgument(*integer));
  }
  if (const std::string* text = value.asString()) {
    at = putHead(at, kTextMajor, text->size());
    if (!text->empty()) std::memcpy(at, text->data(), text->size());
    return at + text->size();
  }
  const Value::List& items = *value.asList();
  at = putHead(at, kArrayMajor, items.size());
  for (const Value& item : items) at = putValue(at, item);
  return at;
}

// Room for `count` more bytes at the end of `out`.
std::uint8_t* grow(std::vector<std::uint8_t>& out, std::size_t count) {
  const std::size_t size = out.size();
  out.resize(size + count);
  return out.data() + size;
}

// Builds a Value straight from nlohmann's parse events. Returning false from any event stops the
// parse, so refused kinds and over-deep nesting end it before nlohmann recurses any further.
class ValueBuilder {
 public:
  using json = nlohmann::json;

  // `depth`: how many lists deep the value sits, which counts against kMaxCborNesting.
  ValueBuilder(std::size_t inputSize, std::size_t depth) : inputSize_(inputSize), depth_(depth) {}

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
    if (depth_ + open_.size() >= kMaxCborNesting) return false;
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
  std::size_t depth_;
  std::vector<Value::List> open_;
  std::optional<Value> root_;
};

Status decodeAt(std::span<const std::uint8_t> bytes, std::size_t depth,
                std::optional<Value>* value) {
  ValueBuilder builder(bytes.size(), depth);
  bool complete = false;
  try {
    complete = nlohmann::json::sax_parse(bytes.data(), bytes.data() + bytes.size(), &builder,
                                         nlohmann::json::input_format_t::cbor, /*strict=*/true);
  } catch (const std::exception& error) {
    // Out of memory for a string of absurd claimed length, or any error nlohmann throws instead
    // of reporting: the bytes are refused either way.
    return Status::unreadable(std::string("The bytes could not be decoded (") + error.what() +
                              ").");
  }
  std::optional<Value> decoded = complete ? builder.result() : std::nullopt;
  if (!decoded) return Status::unreadable("The bytes are not one value of the kinds stored.");
  *value = std::move(decoded);
  return Status::ok();
}

}  // namespace

void appendCbor(std::vector<std::uint8_t>& out, const Value& value) {
  putValue(grow(out, encodedSize(value)), value);
}

std::size_t cborSize(const std::vector<std::string>& texts) {
  std::size_t size = headSize(texts.size());
  for (const std::string& text : texts) size += headSize(text.size()) + text.size();
  return size;
}

std::size_t cborSize(const std::vector<double>& numbers) {
  return headSize(numbers.size()) + 9 * numbers.size();
}

void appendCbor(std::vector<std::uint8_t>& out, const std::vector<std::string>& texts) {
  std::uint8_t* at = putHead(grow(out, cborSize(texts)), kArrayMajor, texts.size());
  for (const std::string& text : texts) {
    at = putHead(at, kTextMajor, text.size());
    if (!text.empty()) std::memcpy(at, text.data(), text.size());
    at += text.size();
  }
}

void appendCbor(std::vector<std::uint8_t>& out, const std::vector<double>& numbers) {
  std::uint8_t* at = putHead(grow(out, cborSize(numbers)), kArrayMajor, numbers.size());
  for (double number : numbers) {
    *at = static_cast<std::uint8_t>(kSimpleMajor << 5 | kDoubleInfo);
    at = putBigEndian(at + 1, std::bit_cast<std::uint64_t>(number), 8);
  }
}

std::vector<std::uint8_t> encodeCbor(const Value& value) {
  std::vector<std::uint8_t> out;
  appendCbor(out, value);
  return out;
}

Status decodeCbor(std::span<const std::uint8_t> bytes, std::optional<Value>* value) {
  return decodeAt(bytes, 0, value);
}

void appendCborListHead(std::vector<std::uint8_t>& out, std::uint64_t length) {
  putHead(grow(out, headSize(length)), kArrayMajor, length);
}

bool startsCborList(std::span<const std::uint8_t> bytes) {
  return !bytes.empty() && (bytes.front() >> 5) == kArrayMajor;
}

std::optional<std::uint64_t> decodeCborListHead(std::span<const std::uint8_t> bytes) {
  if (!startsCborList(bytes)) return std::nullopt;
  const std::uint8_t info = bytes.front() & 0x1F;
  if (info < 24) {
    if (bytes.size() != 1) return std::nullopt;
    return info;
  }
  // One, two, four or eight bytes of length follow; indefinite and reserved lengths are refused.
  if (info > 27 || bytes.size() != 1 + (std::size_t{1} << (info - 24))) return std::nullopt;
  std::uint64_t length = 0;
  for (std::size_t i = 1; i < bytes.size(); ++i) length = (length << 8) | bytes[i];
  return length;
}

Status decodeCborListItem(std::span<const std::uint8_t> bytes, std::optional<Value>* value) {
  return decodeAt(bytes, 1, value);
}

}  // namespace allot
