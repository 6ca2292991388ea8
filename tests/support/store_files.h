// Store files made for tests: SQL run straight on a file, a budget saved and committed as the
// application does, and files as the first release of Allot wrote them (one table with each value
// encoded whole in one row, schema version 1).
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/budget_store.h"
#include "platform/defaults/value.h"

namespace allot::testing {

// Runs `sql` on the SQLite database `file`, creating it when missing; fails the test on an error.
void runSql(const std::filesystem::path& file, const char* sql);

// Saves `store` through SqliteUserDefaults and commits it; fails the test when the commit fails.
void saveAndCommit(const BudgetStore& store, const std::filesystem::path& file);

// Writes a new first-layout file holding `values`, or `store` as saveStore would write it; false
// (with a failed expectation) when SQLite refuses.
bool writeFirstLayoutFile(const std::filesystem::path& file,
                          const std::vector<std::pair<std::string, Value>>& values);
bool writeFirstLayoutFile(const std::filesystem::path& file, const BudgetStore& store);

}  // namespace allot::testing
