#include "platform/defaults/value_lists.h"

namespace allot {
namespace {

bool take(Value& item, std::string& out) {
  std::string* text = std::get_if<std::string>(&item.data);
  if (text == nullptr) return false;
  out = std::move(*text);
  return true;
}

bool take(const Value& item, double& out) {
  if (const double* number = item.asDouble()) {
    out = *number;
  } else if (const std::int64_t* integer = item.asInteger()) {
    out = static_cast<double>(*integer);
  } else {
    return false;
  }
  return true;
}

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

bool takeLists(Value& value, std::vector<std::vector<std::string>>& out) {
  return takeNested(value, out);
}

bool takeLists(Value& value, std::vector<std::vector<double>>& out) {
  return takeNested(value, out);
}

}  // namespace allot
