// Values in CBOR: every kind round-trips exactly, and what is not a value is refused.
#include "platform/defaults/cbor_codec.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <optional>
#include <vector>

namespace allot {
namespace {

using Bytes = std::vector<std::uint8_t>;

// What decodeCbor makes of the bytes: nothing when it refuses them, as unreadable.
std::optional<Value> decoded(const Bytes& bytes) {
  std::optional<Value> value;
  const Status status = decodeCbor(bytes, &value);
  EXPECT_EQ(status.kind(), value ? Status::Kind::Ok : Status::Kind::Unreadable);
  return value;
}

Value nestedLists(std::size_t depth) {
  Value value(1);
  for (std::size_t i = 0; i < depth; ++i) value = Value(Value::List{value});
  return value;
}

// Every kind of value round-trips exactly, and short floats read as the same double.
TEST(CborCodecTest, RoundTripsEveryKindExactly) {
  const double inf = std::numeric_limits<double>::infinity();
  const double negativeNanWithPayload = std::bit_cast<double>(std::uint64_t{0xFFF8000000000123});
  // clang-format off
  const std::vector<Value> values = {
      0.0, -0.0, 1e-310, 12.5, inf, -inf, std::numeric_limits<double>::quiet_NaN(),
      negativeNanWithPayload, std::numeric_limits<std::int64_t>::min(),
      std::numeric_limits<std::int64_t>::max(), -1, 23, 24, std::int64_t{0xFFFFFFFF},
      std::int64_t{1} << 32, "", std::string("l'\"été\" \0 ok", 14),
      Value::List{}, Value::List{"Food", Value::List{1.5, -2}, Value::List{}, std::string(300, 'x')},
      nestedLists(kMaxCborNesting)};
  // clang-format on
  for (const Value& value : values) EXPECT_EQ(decoded(encodeCbor(value)), value);
  EXPECT_EQ(decoded(Bytes{0xF9, 0x80, 0x00}), Value(-0.0));  // half -0.0
  EXPECT_EQ(decoded(Bytes{0xF9, 0x7C, 0x00}), Value(inf));
  EXPECT_EQ(decoded(Bytes{0xFA, 0x41, 0x48, 0x00, 0x00}), Value(12.5));  // float 12.5
}

TEST(CborCodecTest, RefusesWhatIsNotAValue) {
  const std::vector<Bytes> refused = {
      {},                                                      // nothing
      {0xF6},                                                  // null
      {0xF5},                                                  // true
      {0xA1, 0x61, 0x6B, 0x01},                                // map {"k": 1}
      {0x41, 0x00},                                            // binary string
      {0xC1, 0x01},                                            // tag 1
      {0x1B, 0x80, 0, 0, 0, 0, 0, 0, 0},                       // 2^63
      {0x3B, 0x80, 0, 0, 0, 0, 0, 0, 0},                       // -1 - 2^63
      {0x3B, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // -2^64
      {0x01, 0x02},                                            // trailing byte
      {0xFB, 0x40, 0x29},                                      // truncated double
      {0x63, 0x61, 0x62},                                      // string shorter than said
      {0x9B, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // list longer than the input
      {0x5B, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // string longer than the input
      {0x82, 0x01, 0xF6},                                      // null inside a list
  };
  for (const Bytes& bytes : refused) EXPECT_FALSE(decoded(bytes).has_value());

  EXPECT_FALSE(decoded(encodeCbor(nestedLists(kMaxCborNesting + 1))).has_value());
  // Far deeper than any stack could recurse: refused at the cap, not by a crash.
  EXPECT_FALSE(decoded(Bytes(1'000'000, 0x81)).has_value());
  EXPECT_FALSE(decoded(Bytes(1'000'000, 0x9F)).has_value());
}

}  // namespace
}  // namespace allot
