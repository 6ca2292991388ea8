// Status: the outcome of an operation that can fail for reasons outside the program (the store's
// file, its lock, the disk): a kind that callers act on and one line of text that says what
// happened, for the user. Made with the named constructors; ok() carries no text.
#pragma once

#include <string>
#include <utility>

namespace allot {

class [[nodiscard]] Status {
 public:
  enum class Kind {
    Ok,
    NotFound,    // nothing is stored where it was looked for (a key that was never written)
    Busy,        // another program holds the store, or its lock; trying again later may work
    Unreadable,  // the store is ours but its data cannot be taken (damaged, undecodable)
    NotOurs,     // the file is not the application's store; it must be left alone
    Newer,       // written by a newer version; it may be read, never written
    ReadOnly,    // the file or its folder cannot be written
    Failed,      // a write or read that the system refused (disk full, I/O error, permission)
  };

  Status() = default;
  static Status ok() { return {}; }
  static Status notFound(std::string message) { return {Kind::NotFound, std::move(message)}; }
  static Status busy(std::string message) { return {Kind::Busy, std::move(message)}; }
  static Status unreadable(std::string message) { return {Kind::Unreadable, std::move(message)}; }
  static Status notOurs(std::string message) { return {Kind::NotOurs, std::move(message)}; }
  static Status newer(std::string message) { return {Kind::Newer, std::move(message)}; }
  static Status readOnly(std::string message) { return {Kind::ReadOnly, std::move(message)}; }
  static Status failed(std::string message) { return {Kind::Failed, std::move(message)}; }

  // The same outcome, its message preceded by `lead` ("Nothing was saved. " before why).
  Status withLead(const std::string& lead) const { return {kind_, lead + message_}; }

  bool isOk() const { return kind_ == Kind::Ok; }
  Kind kind() const { return kind_; }
  const std::string& message() const { return message_; }

  friend bool operator==(const Status&, const Status&) = default;

 private:
  Status(Kind kind, std::string message) : kind_(kind), message_(std::move(message)) {}

  Kind kind_ = Kind::Ok;
  std::string message_;
};

}  // namespace allot
