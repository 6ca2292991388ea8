// Store files made for tests: SQL run straight on a file, a budget saved and committed, and
// loaded, as the application does, and files as earlier releases of Allot wrote them (schema
// version 1: one table with each value encoded whole in one row; version 2: every list as a head
// row and one row per item).
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/persistence.h"
#include "platform/defaults/value.h"

namespace allot::testing {

// Runs `sql` on the SQLite database `file`, creating it when missing; fails the test on an error.
void runSql(const std::filesystem::path& file, const char* sql);

// The first column of every row that `sql` returns on `file`, as integers.
std::vector<std::int64_t> integers(const std::filesystem::path& file, const std::string& sql);

// Saves `store` through SqliteUserDefaults and commits it; fails the test when the commit fails.
void saveAndCommit(const BudgetStore& store, const std::filesystem::path& file);

// What the load made of `defaults`: the report, and the store it filled. That store held an
// envelope before, which the load must replace whatever it finds.
struct Loaded {
  LoadReport report;
  BudgetStore store;
};
Loaded loadFrom(UserDefaults& defaults);

// Writes a new file of the older `layout` (1 or 2) holding `values`, or `store` as saveStore would
// write it; false (with a failed expectation) when SQLite refuses.
bool writeOlderLayoutFile(const std::filesystem::path& file, int layout,
                          const std::vector<std::pair<std::string, Value>>& values);
bool writeOlderLayoutFile(const std::filesystem::path& file, int layout, const BudgetStore& store);

}  // namespace allot::testing
