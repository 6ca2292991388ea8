// UserDefaults: the per-user key-value store that the application keeps its budget in. Setters are
// visible to valueForKey at once; synchronize() makes every pending write durable in one step.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/defaults/value.h"

namespace allot {

class UserDefaults {
 public:
  virtual ~UserDefaults() = default;

  // The value stored under the key, or nothing when the key is absent.
  virtual std::optional<Value> valueForKey(std::string_view key) const = 0;
  virtual void setDouble(double value, std::string_view key) = 0;
  virtual void setObject(Value value, std::string_view key) = 0;

  // Commits the pending writes at once. False when it cannot; lastError() then says why.
  virtual bool synchronize() = 0;
  virtual std::string lastError() const { return {}; }

  // Set when stored values cannot be trusted: a file that could not be opened or is not ours, or a
  // value that could not be decoded (valueForKey then returned nothing for it). Empty otherwise.
  virtual std::string readProblem() const { return {}; }

  // Forgets what is stored, once the caller has kept a copy of data it could not load, so that the
  // next commit starts a new store instead of writing into damaged storage. Storage that does not
  // belong to the application is left alone (false); so is anything, where there is nothing to do.
  virtual bool startAfresh() { return false; }
};

}  // namespace allot
