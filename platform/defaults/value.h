// Value: one value of the per-user key-value store, as the platform's property lists hold them: a
// double, a 64-bit integer, a UTF-8 string, or an ordered list of values. It does not convert
// between kinds: a double never equals an integer, and readers ask for the kind they expect.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace allot {

struct Value {
  using List = std::vector<Value>;

  Value(double number) : data(number) {}
  Value(std::int64_t integer) : data(integer) {}
  Value(int integer) : data(std::int64_t{integer}) {}
  Value(std::string text) : data(std::move(text)) {}
  Value(const char* text) : data(std::string(text)) {}
  Value(List items) : data(std::move(items)) {}

  bool isDouble() const { return std::holds_alternative<double>(data); }
  bool isInteger() const { return std::holds_alternative<std::int64_t>(data); }
  bool isString() const { return std::holds_alternative<std::string>(data); }
  bool isList() const { return std::holds_alternative<List>(data); }

  // Each returns null when the value is of another kind.
  const double* asDouble() const { return std::get_if<double>(&data); }
  const std::int64_t* asInteger() const { return std::get_if<std::int64_t>(&data); }
  const std::string* asString() const { return std::get_if<std::string>(&data); }
  const List* asList() const { return std::get_if<List>(&data); }

  // Same kind and same contents. Doubles compare by bit pattern, so NaN equals NaN and -0.0 differs
  // from 0.0: what matters here is whether a value came back exactly as it was stored.
  friend bool operator==(const Value& a, const Value& b);

  std::variant<double, std::int64_t, std::string, List> data;
};

}  // namespace allot
