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

}  // namespace

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
