#include "platform/defaults/value_lists.h"

#include <cmath>

namespace allot {
namespace {

template <typename Item>
bool takeList(Value& value, std::vector<Item>& out) {
  auto* items = std::get_if<Value::List>(&value.data);
  if (items == nullptr) return false;
  out.resize(items->size());
  for (std::size_t i = 0; i < items->size(); ++i) {
    if (!take((*items)[i], out[i])) return false;
  }
  return true;
}

template <typename Item>
bool takeNested(Value& value, std::vector<std::vector<Item>>& out) {
  auto* lists = std::get_if<Value::List>(&value.data);
  if (lists == nullptr) return false;
  out.resize(lists->size());
  for (std::size_t i = 0; i < lists->size(); ++i) {
    if (!takeList((*lists)[i], out[i])) return false;
  }
  return true;
}

}  // namespace

bool take(Value& value, std::string& out) {
  std::string* text = std::get_if<std::string>(&value.data);
  if (text == nullptr) return false;
  out = std::move(*text);
  return true;
}

bool take(const Value& value, double& out) {
  if (const double* number = value.asDouble()) {
    out = *number;
  } else if (const std::int64_t* integer = value.asInteger()) {
    out = static_cast<double>(*integer);
  } else {
    return false;
  }
  return true;
}

bool take(const Value& value, std::int64_t& out) {
  if (const std::int64_t* integer = value.asInteger()) {
    out = *integer;
    return true;
  }
  const double* number = value.asDouble();
  // -2^63 <= number < 2^63, both bounds exact in a double.
  if (number == nullptr || !std::isfinite(*number) || std::trunc(*number) != *number ||
      *number < -0x1p63 || *number >= 0x1p63) {
    return false;
  }
  out = static_cast<std::int64_t>(*number);
  return true;
}

bool take(Value& value, std::vector<std::string>& out) {
  return takeList(value, out);
}
bool take(Value& value, std::vector<double>& out) {
  return takeList(value, out);
}
bool take(Value& value, std::vector<std::int64_t>& out) {
  return takeList(value, out);
}

bool takeLists(Value& value, std::vector<std::vector<std::string>>& out) {
  return takeNested(value, out);
}

bool takeLists(Value& value, std::vector<std::vector<double>>& out) {
  return takeNested(value, out);
}

}  // namespace allot
