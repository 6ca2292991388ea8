// LaunchLoad: the budget's load at launch, on a thread of its own, in two steps inside one read of
// the store: first the summary the envelope list shows (loadSummary), then the transaction lists
// (loadTransactions), once the window has shown its first frame or as soon as anything needs them.
// The window thus comes up without waiting for the lists, and without the memory they take. It
// does what loadStore does, with the same outcomes. Nothing else may use the defaults until the
// second step has been taken, or the load has ended after the first.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "core/budget_store.h"
#include "platform/defaults/user_defaults.h"

namespace allot {

class LaunchLoad {
 public:
  // Starts the thread. `listsRead` is called on it once the second step has been taken.
  explicit LaunchLoad(UserDefaults& defaults, std::function<void()> listsRead = {});
  // Ends a load still waiting to take its second step, and waits for the thread.
  ~LaunchLoad();
  LaunchLoad(const LaunchLoad&) = delete;
  LaunchLoad& operator=(const LaunchLoad&) = delete;

  // Waits for the first step and hands over its fields, with empty transaction lists. Not ok:
  // the load ended there, and says why as loadStore would have.
  Status takeSummary(BudgetFields& fields);
  // Lets the second step begin.
  void proceed();
  // Proceeds, waits for the second step and hands over the whole fields: the outcome of the whole
  // load, which is not ok when the first step was not.
  Status takeWhole(BudgetFields& fields);

 private:
  void run();
  // Hands the summary over and waits for leave to go on: false when the load ends here.
  bool handOverSummary(const BudgetFields& fields, const Status& status);
  // Not ok when a value read so far could not be decoded: the data is not whole.
  Status withReadStatus(Status status) const;

  UserDefaults& defaults_;
  std::function<void()> listsRead_;
  std::mutex mutex_;
  std::condition_variable changed_;
  BudgetFields fields_;
  std::optional<Status> summary_;  // set once the first step has ended
  std::optional<Status> whole_;    // set once the second step has ended
  bool proceed_ = false;
  bool ending_ = false;
  std::thread thread_;  // last, so that it starts once the rest is there
};

}  // namespace allot
