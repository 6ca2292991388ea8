// UserDefaults: the per-user key-value store that the application keeps its budget in. Setters are
// visible to valueForKey at once; synchronize() makes every pending write durable in one step.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/defaults/status.h"
#include "platform/defaults/value.h"

namespace allot {

class UserDefaults {
 public:
  virtual ~UserDefaults() = default;

  // The value stored under the key, or nothing when the key is absent.
  virtual std::optional<Value> valueForKey(std::string_view key) const = 0;
  virtual void setDouble(double value, std::string_view key) = 0;
  virtual void setObject(Value value, std::string_view key) = 0;
  // The same for a list of lists of texts or of numbers: setObject with the equal Value, which a
  // store may encode straight from the vectors instead.
  virtual void setTextLists(const std::vector<std::vector<std::string>>& lists,
                            std::string_view key);
  virtual void setNumberLists(const std::vector<std::vector<double>>& lists, std::string_view key);

  // The value under the key as a list of lists of texts, or of numbers (an integer taken as the
  // nearest double), read into `out`: what valueForKey and that conversion give, but a store may
  // decode straight into `out` without a Value for every item. NotFound when valueForKey finds
  // nothing; unreadable when the value is of another shape, `out` then unspecified.
  virtual Status readTextLists(std::string_view key,
                               std::vector<std::vector<std::string>>& out) const;
  virtual Status readNumberLists(std::string_view key, std::vector<std::vector<double>>& out) const;

  // Commits the pending writes at once. When it cannot, it says why, and the writes stay pending
  // for the next try.
  virtual Status synchronize() = 0;

  // Brackets a group of reads that must all see one state of the store, never half of another
  // program's commit. Not ok when the store cannot be read at all (busy, not ours, damaged); the
  // reads then find nothing and endReading() need not be called.
  virtual Status beginReading() { return Status::ok(); }
  virtual void endReading() {}

  // Not ok when stored values cannot be trusted: a file that could not be opened or is not ours,
  // or a value that could not be decoded (valueForKey then returned nothing for it).
  virtual Status readStatus() const { return Status::ok(); }
  // Not ok when what is stored may be read but must not be written: a read-only file or folder,
  // or a store written by a newer version.
  virtual Status writability() const { return Status::ok(); }

  // Forgets what is stored, once the caller has kept a copy of data it could not load, so that the
  // next commit starts a new store instead of writing into damaged storage. Storage that does not
  // belong to the application is left alone. Not ok when the old storage could not be removed.
  virtual Status startAfresh() { return Status::ok(); }

 protected:
  // The reads of lists of lists as valueForKey and a conversion make them.
  Status readListsThroughValue(std::string_view key,
                               std::vector<std::vector<std::string>>& out) const;
  Status readListsThroughValue(std::string_view key, std::vector<std::vector<double>>& out) const;
  // The conversion: the value under `key` (nothing when none was found) into `out`.
  static Status listsFrom(std::optional<Value> value, std::string_view key,
                          std::vector<std::vector<std::string>>& out);
  static Status listsFrom(std::optional<Value> value, std::string_view key,
                          std::vector<std::vector<double>>& out);
};

}  // namespace allot
