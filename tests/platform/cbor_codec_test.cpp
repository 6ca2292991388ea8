// Values and their CBOR encoding.
#include "platform/defaults/cbor_codec.h"

#include <gtest/gtest.h>

#include "platform/defaults/cbor_list_reader.h"

#include <bit>
#include <limits>

namespace allot {
namespace {

using Bytes = std::vector<std::uint8_t>;

Value nestedLists(std::size_t depth) {
  Value value(1);
  for (std::size_t i = 0; i < depth; ++i) value = Value(Value::List{value});
  return value;
}

TEST(ValueTest, EqualityComparesKindAndExactContents) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(Value(nan), Value(nan));
  EXPECT_NE(Value(nan), Value(-nan));
  EXPECT_NE(Value(0.0), Value(-0.0));
  EXPECT_NE(Value(1.0), Value(1));
  EXPECT_NE(Value("1"), Value(1));
  EXPECT_EQ(Value(std::string("a\0b", 3)), Value(std::string("a\0b", 3)));
  EXPECT_NE(Value(std::string("a\0b", 3)), Value("a"));

  const Value nested(Value::List{Value::List{"x", 1}, 2.5});
  EXPECT_EQ(nested, Value(Value::List{Value::List{"x", 1}, 2.5}));
  EXPECT_NE(nested, Value(Value::List{Value::List{"x", 1.0}, 2.5}));
  EXPECT_NE(nested, Value(Value::List{2.5, Value::List{"x", 1}}));
  EXPECT_NE(Value(Value::List{}), Value(Value::List{Value(Value::List{})}));
}

TEST(CborCodecTest, RoundTripsEveryKindExactly) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<Value> values = {
      0.0,
      -0.0,
      1e-310,
      12.5,
      inf,
      -inf,
      std::numeric_limits<double>::quiet_NaN(),
      std::bit_cast<double>(std::uint64_t{0xFFF8000000000123}),  // negative NaN with payload
      std::numeric_limits<std::int64_t>::min(),
      std::numeric_limits<std::int64_t>::max(),
      -1,
      23,
      24,
      "",
      std::string("l'\"été\" \0 ok", 14),
      Value::List{},
      Value::List{"Food", Value::List{1.5, -2}, Value::List{}, std::string(300, 'x')},
      nestedLists(kMaxCborNesting),
  };
  for (const Value& value : values) {
    const std::optional<Value> decoded = decodeCbor(encodeCbor(value));
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(*decoded, value);
  }
}

TEST(CborCodecTest, ReadsShortFloatsAsTheSameDouble) {
  EXPECT_EQ(decodeCbor(Bytes{0xF9, 0x80, 0x00}), Value(-0.0));  // half -0.0
  EXPECT_EQ(decodeCbor(Bytes{0xF9, 0x7C, 0x00}), Value(std::numeric_limits<double>::infinity()));
  EXPECT_EQ(decodeCbor(Bytes{0xFA, 0x41, 0x48, 0x00, 0x00}), Value(12.5));  // float 12.5
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
  for (const Bytes& bytes : refused) EXPECT_FALSE(decodeCbor(bytes).has_value());

  EXPECT_FALSE(decodeCbor(encodeCbor(nestedLists(kMaxCborNesting + 1))).has_value());
  // Far deeper than any stack could recurse: refused at the cap, not by a crash.
  EXPECT_FALSE(decodeCbor(Bytes(1'000'000, 0x81)).has_value());
  EXPECT_FALSE(decodeCbor(Bytes(1'000'000, 0x9F)).has_value());
}

// Lists of texts and of numbers also decode straight into vectors: the same contents, and only the
// forms that the encoder writes, the rest being left to decodeCbor.
TEST(CborCodecTest, ListsOfTextsAndNumbersDecodeStraightIntoVectors) {
  const std::vector<std::string> texts = {"", "Food", std::string("a\0b", 3),
                                          std::string(300, 'x')};
  std::vector<std::string> decodedTexts;
  ASSERT_TRUE(decodeCborTexts(encodeCbor(Value::List(texts.begin(), texts.end())), decodedTexts));
  EXPECT_EQ(decodedTexts, texts);

  const double nan = std::bit_cast<double>(std::uint64_t{0xFFF8000000000123});
  const Value::List numbers = {-0.0, nan, 1e-310, std::numeric_limits<std::int64_t>::min(), 23};
  std::vector<double> decodedNumbers;
  ASSERT_TRUE(decodeCborNumbers(encodeCbor(numbers), decodedNumbers));
  const std::vector<double> expected = {-0.0, nan, 1e-310, -0x1p63, 23.0};
  ASSERT_EQ(decodedNumbers.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(decodedNumbers[i]),
              std::bit_cast<std::uint64_t>(expected[i]));
  }

  EXPECT_FALSE(decodeCborTexts(encodeCbor(Value::List{"a", 1}), decodedTexts));
  EXPECT_FALSE(decodeCborTexts(Bytes{0x9F, 0x61, 0x61, 0xFF}, decodedTexts));  // indefinite
  EXPECT_FALSE(decodeCborTexts(Bytes{0x81, 0x62, 0x61}, decodedTexts));        // cut short
  EXPECT_FALSE(decodeCborNumbers(encodeCbor(Value::List{1.5, "a"}), decodedNumbers));
  EXPECT_FALSE(decodeCborNumbers(Bytes{0x81, 0xF9, 0x80, 0x00}, decodedNumbers));  // half float
  EXPECT_FALSE(decodeCborNumbers(Bytes{0x81, 0x1B, 0x80, 0, 0, 0, 0, 0, 0, 0}, decodedNumbers));
  EXPECT_FALSE(decodeCborNumbers(Bytes{0x81, 0x01, 0x01}, decodedNumbers));  // trailing byte
}

}  // namespace
}  // namespace allot
