#include "platform/defaults/user_defaults.h"

#include <type_traits>

#include "platform/defaults/value_lists.h"

namespace allot {
namespace {

template <typename Item>
Status convertValue(std::optional<Value> value, std::string_view key,
                    std::vector<std::vector<Item>>& out) {
  const std::string quoted = "\"" + std::string(key) + "\"";
  if (!value) return Status::notFound("No value is stored under the key " + quoted + ".");
  if (takeLists(*value, out)) return Status::ok();
  return Status::unreadable("The value under the key " + quoted + " is not a list of lists of " +
                            (std::is_same_v<Item, double> ? "numbers." : "texts."));
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

Status UserDefaults::readTextLists(std::string_view key,
                                   std::vector<std::vector<std::string>>& out) const {
  return readListsThroughValue(key, out);
}

Status UserDefaults::readNumberLists(std::string_view key,
                                     std::vector<std::vector<double>>& out) const {
  return readListsThroughValue(key, out);
}

Status UserDefaults::readListsThroughValue(std::string_view key,
                                           std::vector<std::vector<std::string>>& out) const {
  return listsFrom(valueForKey(key), key, out);
}

Status UserDefaults::readListsThroughValue(std::string_view key,
                                           std::vector<std::vector<double>>& out) const {
  return listsFrom(valueForKey(key), key, out);
}

Status UserDefaults::listsFrom(std::optional<Value> value, std::string_view key,
                               std::vector<std::vector<std::string>>& out) {
  return convertValue(std::move(value), key, out);
}

Status UserDefaults::listsFrom(std::optional<Value> value, std::string_view key,
                               std::vector<std::vector<double>>& out) {
  return convertValue(std::move(value), key, out);
}

}  // namespace allot
