#include "app/launch_load.h"

#include <utility>

#include "core/persistence.h"

namespace allot {

LaunchLoad::LaunchLoad(UserDefaults& defaults, std::function<void()> listsRead)
    : defaults_(defaults), listsRead_(std::move(listsRead)), thread_([this] { run(); }) {}

LaunchLoad::~LaunchLoad() {
  {
    const std::lock_guard<std::mutex> hold(mutex_);
    ending_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

// Each hand-over lets the caller use the defaults: the read ends before it.
void LaunchLoad::run() {
  BudgetFields fields;
  Status status = defaults_.beginReading();
  bool reading = status.isOk();
  if (reading) status = withReadStatus(loadSummary(defaults_, fields));
  if (reading && !status.isOk()) {
    defaults_.endReading();
    reading = false;
  }
  const bool goOn = handOverSummary(fields, status);
  if (goOn) status = withReadStatus(loadTransactions(defaults_, fields));
  if (reading) defaults_.endReading();
  if (!goOn) return;
  {
    const std::lock_guard<std::mutex> hold(mutex_);
    fields_ = std::move(fields);
    whole_ = status;
  }
  changed_.notify_all();
  if (listsRead_) listsRead_();
}

bool LaunchLoad::handOverSummary(const BudgetFields& fields, const Status& status) {
  std::unique_lock<std::mutex> hold(mutex_);
  fields_ = fields;
  summary_ = status;
  if (!status.isOk()) whole_ = status;
  changed_.notify_all();
  if (!status.isOk()) return false;
  changed_.wait(hold, [this] { return proceed_ || ending_; });
  return !ending_;
}

Status LaunchLoad::withReadStatus(Status status) const {
  // The store's own reason comes first: a value it could not decode reads as a missing key.
  if (Status read = defaults_.readStatus(); !read.isOk()) return read;
  return status;
}

Status LaunchLoad::takeSummary(BudgetFields& fields) {
  std::unique_lock<std::mutex> hold(mutex_);
  changed_.wait(hold, [this] { return summary_.has_value(); });
  fields = fields_;
  return *summary_;
}

void LaunchLoad::proceed() {
  {
    const std::lock_guard<std::mutex> hold(mutex_);
    proceed_ = true;
  }
  changed_.notify_all();
}

Status LaunchLoad::takeWhole(BudgetFields& fields) {
  proceed();
  std::unique_lock<std::mutex> hold(mutex_);
  changed_.wait(hold, [this] { return whole_.has_value(); });
  fields = std::move(fields_);
  return *whole_;
}

}  // namespace allot
