#include "platform/defaults/user_defaults.h"

#include "platform/defaults/value_lists.h"

namespace allot {
namespace {

template <typename Item>
UserDefaults::ListsRead convertValue(std::optional<Value> value,
                                     std::vector<std::vector<Item>>& out) {
  if (!value) return UserDefaults::ListsRead::Absent;
  return takeLists(*value, out) ? UserDefaults::ListsRead::Read
                                : UserDefaults::ListsRead::OtherKind;
}

template <typename Item>
Value listValue(const std::vector<std::vector<Item>>& lists) {
  Value::List outer;
  outer.reserve(lists.size());
  for (const std::vector<Item>& list : lists)
    outer.emplace_back(Value::List(list.begin(), list.end()));
  return Value(std::move(outer));
}

}  // namespace

void UserDefaults::setTextLists(const std::vector<std::vector<std::string>>& lists,
                                std::string_view key) {
  setObject(listValue(lists), key);
}

void UserDefaults::setNumberLists(const std::vector<std::vector<double>>& lists,
                                  std::string_view key) {
  setObject(listValue(lists), key);
}

UserDefaults::ListsRead UserDefaults::readTextLists(
    std::string_view key, std::vector<std::vector<std::string>>& out) const {
  return readListsThroughValue(key, out);
}

UserDefaults::ListsRead UserDefaults::readNumberLists(std::string_view key,
                                                      std::vector<std::vector<double>>& out) const {
  return readListsThroughValue(key, out);
}

UserDefaults::ListsRead UserDefaults::readListsThroughValue(
    std::string_view key, std::vector<std::vector<std::string>>& out) const {
  return convertValue(valueForKey(key), out);
}

UserDefaults::ListsRead UserDefaults::readListsThroughValue(
    std::string_view key, std::vector<std::vector<double>>& out) const {
  return convertValue(valueForKey(key), out);
}

}  // namespace allot
