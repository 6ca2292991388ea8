// Values compare by kind and exact contents, NaN payloads and negative zero included.
#include "platform/defaults/value.h"

#include <gtest/gtest.h>

#include <limits>

namespace allot {

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

}  // namespace allot
