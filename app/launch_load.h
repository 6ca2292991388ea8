// LaunchLoad: the budget's load at launch, on a thread of its own that the program starts before
// the window's QML compiles, so that the two run side by side: the summary the envelope list
// shows (loadSummary), then at once the transaction lists (loadTransactions), inside one read of
// the store. It does what loadStore does, with the same outcomes, and the delegate takes the whole
// load before any screen reads the store: envelopes whose transaction lists cannot be loaded are
// never shown, and every colour is the one the whole load decides. Nothing else may use the
// defaults until the load has ended.
#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "core/budget_store.h"
#include "platform/defaults/user_defaults.h"

namespace allot {

class LaunchLoad {
 public:
  // Starts the thread.
  explicit LaunchLoad(UserDefaults& defaults);
  // Waits for the thread.
  ~LaunchLoad();
  LaunchLoad(const LaunchLoad&) = delete;
  LaunchLoad& operator=(const LaunchLoad&) = delete;

  // Waits for the load and hands over the whole fields: ok, or why the data was not taken (the
  // fields are then empty), as loadStore would say.
  Status takeWhole(BudgetFields& fields);

 private:
  void run();
  // Not ok when a value read so far could not be decoded: the data is not whole.
  Status withReadStatus(Status status) const;

  UserDefaults& defaults_;
  std::mutex mutex_;
  std::condition_variable changed_;
  BudgetFields fields_;
  std::optional<Status> whole_;  // set once the load has ended
  std::thread thread_;           // last, so that it starts once the rest is there
};

}  // namespace allot
