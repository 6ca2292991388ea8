// Persistence: reads the budget from the per-user key-value store at launch, bringing older stored
// layouts up to date, and writes all six keys back. Data it cannot take (a required key missing, a
// value of another kind, a list shorter than the envelope names) leaves the store empty and is
// reported, never read past or silently replaced.
#pragma once

#include <string>

#include "core/budget_store.h"
#include "platform/defaults/user_defaults.h"

namespace allot {

// What the load found. `unloadable` means stored data was present but could not be taken;
// `reason` then says why in one line.
struct LoadReport {
  bool unloadable = false;
  std::string reason;
};

// Returns true, always. Fills `report` when given.
bool loadStore(BudgetStore& store, UserDefaults& defaults, LoadReport* report = nullptr);

// Writes "totalAmount" with setDouble, then the five lists with setObject, every time. It does not
// commit: the caller (the platform, after each resign) synchronizes.
void saveStore(const BudgetStore& store, UserDefaults& defaults);

}  // namespace allot
