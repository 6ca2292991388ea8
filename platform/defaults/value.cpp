#include "platform/defaults/value.h"

#include <bit>

namespace allot {

bool operator==(const Value& a, const Value& b) {
  if (a.data.index() != b.data.index()) return false;
  if (const double* x = a.asDouble()) {
    return std::bit_cast<std::uint64_t>(*x) == std::bit_cast<std::uint64_t>(*b.asDouble());
  }
  if (const std::int64_t* x = a.asInteger()) return *x == *b.asInteger();
  if (const std::string* x = a.asString()) return *x == *b.asString();
  return *a.asList() == *b.asList();
}

}  // namespace allot
