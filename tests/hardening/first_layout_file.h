// Store files as the first release of Allot wrote them, for tests of reading and upgrading them:
// one table with each of the six values encoded whole in one row, schema version 1.
#pragma once

#include <filesystem>

#include "core/budget_store.h"

namespace allot::hardening {

// Writes `store` to a new file at `file`; false (with a failed expectation) when SQLite refuses.
bool writeFirstLayoutFile(const std::filesystem::path& file, const BudgetStore& store);

}  // namespace allot::hardening
