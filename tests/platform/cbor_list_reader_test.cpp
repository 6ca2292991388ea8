// Lists of texts and of numbers decoded straight into vectors.
#include "platform/defaults/cbor_list_reader.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <vector>

#include "platform/defaults/cbor_codec.h"
#include "tests/support/samples.h"

namespace allot {
using Bytes = std::vector<std::uint8_t>;

// Lists of texts and of numbers also decode straight into vectors: the same contents, and only the
// forms that the encoder writes, the rest being left to decodeCbor.
TEST(CborListReaderTest, ListsOfTextsAndNumbersDecodeStraightIntoVectors) {
  const std::vector<std::string> texts = {"", "Food", std::string("a\0b", 3),
                                          std::string(300, 'x')};
  std::vector<std::string> decodedTexts;
  ASSERT_TRUE(decodeCborTexts(encodeCbor(Value::List(texts.begin(), texts.end())), decodedTexts));
  EXPECT_EQ(decodedTexts, texts);

  const double nan = std::bit_cast<double>(std::uint64_t{0xFFF8000000000123});
  const Value::List numbers = {-0.0, nan, 1e-310, std::numeric_limits<std::int64_t>::min(), 23};
  std::vector<double> decodedNumbers;
  ASSERT_TRUE(decodeCborNumbers(encodeCbor(numbers), decodedNumbers));
  EXPECT_EQ(testing::bitsOf(decodedNumbers), testing::bitsOf({-0.0, nan, 1e-310, -0x1p63, 23.0}));

  EXPECT_FALSE(decodeCborTexts(encodeCbor(Value::List{"a", 1}), decodedTexts));
  EXPECT_FALSE(decodeCborTexts(Bytes{0x9F, 0x61, 0x61, 0xFF}, decodedTexts));  // indefinite
  EXPECT_FALSE(decodeCborTexts(Bytes{0x81, 0x62, 0x61}, decodedTexts));        // cut short
  EXPECT_FALSE(decodeCborNumbers(encodeCbor(Value::List{1.5, "a"}), decodedNumbers));
  EXPECT_FALSE(decodeCborNumbers(Bytes{0x81, 0xF9, 0x80, 0x00}, decodedNumbers));  // half float
  EXPECT_FALSE(decodeCborNumbers(Bytes{0x81, 0x1B, 0x80, 0, 0, 0, 0, 0, 0, 0}, decodedNumbers));
  EXPECT_FALSE(decodeCborNumbers(Bytes{0x81, 0x01, 0x01}, decodedNumbers));  // trailing byte
}

}  // namespace allot
