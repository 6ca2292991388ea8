#include "platform/defaults/cbor_list_reader.h"

#include <bit>
#include <limits>
#include <optional>

#include "platform/defaults/cbor_heads.h"

namespace allot {
namespace {

using namespace cbor;

// Walks the bytes front to back; every read checks what is left first.
class Cursor {
 public:
  explicit Cursor(std::span<const std::uint8_t> bytes)
      : at_(bytes.data()), end_(at_ + bytes.size()) {}

  bool atEnd() const { return at_ == end_; }
  std::size_t left() const { return static_cast<std::size_t>(end_ - at_); }

  // The major type and argument of the next item's head, for definite lengths only.
  bool head(std::uint8_t& major, std::uint64_t& argument) {
    if (atEnd()) return false;
    const std::uint8_t initial = *at_++;
    major = initial >> 5;
    const std::uint8_t info = initial & 0x1F;
    if (info < 24) {
      argument = info;
      return true;
    }
    if (info > 27) return false;  // indefinite lengths and reserved values
    return bigEndian(std::size_t{1} << (info - 24), argument);
  }

  bool bigEndian(std::size_t count, std::uint64_t& number) {
    if (left() < count) return false;
    number = 0;
    for (std::size_t i = 0; i < count; ++i) number = (number << 8) | *at_++;
    return true;
  }

  bool nextIs(std::uint8_t byte) const { return at_ != end_ && *at_ == byte; }

  const char* take(std::size_t count) {
    const auto* taken = reinterpret_cast<const char*>(at_);
    at_ += count;
    return taken;
  }

 private:
  const std::uint8_t* at_;
  const std::uint8_t* end_;
};

// The list's length, when the bytes begin a definite list that could hold that many items.
std::optional<std::uint64_t> listLength(Cursor& in) {
  std::uint8_t major = 0;
  std::uint64_t length = 0;
  if (!in.head(major, length) || major != kArrayMajor || length > in.left()) return std::nullopt;
  return length;
}

}  // namespace

bool decodeCborTexts(std::span<const std::uint8_t> bytes, std::vector<std::string>& out) {
  Cursor in(bytes);
  const std::optional<std::uint64_t> length = listLength(in);
  if (!length) return false;
  out.clear();
  out.reserve(*length);
  for (std::uint64_t i = 0; i < *length; ++i) {
    std::uint8_t major = 0;
    std::uint64_t size = 0;
    if (!in.head(major, size) || major != kTextMajor || size > in.left()) return false;
    out.emplace_back(in.take(size), size);
  }
  return in.atEnd();
}

bool decodeCborNumbers(std::span<const std::uint8_t> bytes, std::vector<double>& out) {
  Cursor in(bytes);
  const std::optional<std::uint64_t> length = listLength(in);
  if (!length) return false;
  out.clear();
  out.reserve(*length);
  constexpr auto kLargest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  for (std::uint64_t i = 0; i < *length; ++i) {
    if (in.nextIs(kDoubleHead)) {
      in.take(1);
      std::uint64_t bits = 0;
      if (!in.bigEndian(8, bits)) return false;
      out.push_back(std::bit_cast<double>(bits));
      continue;
    }
    std::uint8_t major = 0;
    std::uint64_t argument = 0;
    if (!in.head(major, argument) || argument > kLargest) return false;
    const auto integer = static_cast<std::int64_t>(argument);
    if (major == kUnsignedMajor) {
      out.push_back(static_cast<double>(integer));
    } else if (major == kNegativeMajor) {
      out.push_back(static_cast<double>(-1 - integer));
    } else {
      return false;
    }
  }
  return in.atEnd();
}

}  // namespace allot
