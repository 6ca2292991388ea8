#include "platform/defaults/in_memory_user_defaults.h"

namespace allot {

std::optional<Value> InMemoryUserDefaults::valueForKey(std::string_view key) const {
  auto found = values_.find(key);
  if (found == values_.end()) return std::nullopt;
  return found->second;
}

void InMemoryUserDefaults::setDouble(double value, std::string_view key) {
  setObject(Value(value), key);
}

void InMemoryUserDefaults::setObject(Value value, std::string_view key) {
  ++writes_;
  auto found = values_.find(key);
  if (found != values_.end()) {
    found->second = std::move(value);
  } else {
    values_.emplace(std::string(key), std::move(value));
  }
}

Status InMemoryUserDefaults::synchronize() {
  ++commits_;
  return Status::ok();
}

void InMemoryUserDefaults::removeValueForKey(std::string_view key) {
  auto found = values_.find(key);
  if (found != values_.end()) values_.erase(found);
}

}  // namespace allot
