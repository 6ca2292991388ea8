// InMemoryUserDefaults: a UserDefaults that keeps its values in memory only, for tests. It counts
// the writes and commits it receives so that tests can check what the application asked of it.
#pragma once

#include <map>

#include "platform/defaults/user_defaults.h"

namespace allot {

class InMemoryUserDefaults : public UserDefaults {
 public:
  std::optional<Value> valueForKey(std::string_view key) const override;
  void setDouble(double value, std::string_view key) override;
  void setObject(Value value, std::string_view key) override;
  Status synchronize() override;

  void removeValueForKey(std::string_view key);
  int writeCount() const { return writes_; }
  int synchronizeCount() const { return commits_; }

 private:
  std::map<std::string, Value, std::less<>> values_;
  int writes_ = 0;
  int commits_ = 0;
};

}  // namespace allot
