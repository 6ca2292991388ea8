// The logic behind the transaction screen: recording an amount into or out of one envelope, and
// deleting one of its transactions. Both keep the balance and the total moving by the same amount.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/budget_store.h"
#include "platform/format/number_formatter.h"

namespace allot {

// The most entries a recording leaves in an envelope's transaction list.
inline constexpr std::size_t transactionLimit = 200;

// The largest amount one recording takes, either way. Beyond it a double no longer holds every
// cent exactly, and no sum of such amounts can overflow, whichever entries are later taken back.
inline constexpr double largestAmount = 1e15;

enum class RecordOutcome { EmptyAmount, InvalidAmount, Recorded };

struct RecordResult {
  RecordOutcome outcome;
  std::string message;  // for the results label
};

// Records the typed amount (negated when modeWord is "subtract") with the note as its
// description, dropping the oldest entry beyond the limit. Empty text, text that is not a number,
// text that groups thousands with the formatter's grouping separator ("1,000" in en_US, "1.000"
// in de_DE), an amount beyond largestAmount, and one that would make the balance or the total stop
// being finite change nothing.
RecordResult recordTransaction(BudgetStore& store, std::size_t n, std::string note,
                               std::string_view amountText, std::string_view modeWord,
                               NumberFormatter& formatter);

// Deletes the transaction shown at displayRow (0 is the newest) and takes its amount back out of
// the balance and the total; returns the message for the results label.
std::string deleteTransaction(BudgetStore& store, std::size_t n, std::size_t displayRow,
                              NumberFormatter& formatter);

}  // namespace allot
