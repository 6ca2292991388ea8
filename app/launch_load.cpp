#include "app/launch_load.h"

#include <utility>

#include "core/persistence.h"

namespace allot {

LaunchLoad::LaunchLoad(UserDefaults& defaults) : defaults_(defaults), thread_([this] { run(); }) {}

LaunchLoad::~LaunchLoad() {
  thread_.join();
}

void LaunchLoad::run() {
  BudgetFields fields;
  Status status = defaults_.beginReading();
  if (status.isOk()) {
    status = withReadStatus(loadSummary(defaults_, fields));
    if (status.isOk()) status = withReadStatus(loadTransactions(defaults_, fields));
    defaults_.endReading();
  }
  if (!status.isOk()) fields = {};
  {
    const std::lock_guard<std::mutex> hold(mutex_);
    fields_ = std::move(fields);
    whole_ = status;
  }
  changed_.notify_all();
}

Status LaunchLoad::withReadStatus(Status status) const {
  // The store's own reason comes first: a value it could not decode reads as a missing key.
  if (Status read = defaults_.readStatus(); !read.isOk()) return read;
  return status;
}

Status LaunchLoad::takeWhole(BudgetFields& fields) {
  std::unique_lock<std::mutex> hold(mutex_);
  changed_.wait(hold, [this] { return whole_.has_value(); });
  fields = std::move(fields_);
  return *whole_;
}

}  // namespace allot
