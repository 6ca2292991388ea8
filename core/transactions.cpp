#include "core/transactions.h"

#include <cassert>
#include <cmath>

#include "core/money.h"

namespace allot {
namespace {

const char* const invalidAmountMessage = "Please enter a valid number.";

// A finite running figure must stay finite: once infinite or NaN it can never be corrected.
bool staysFinite(double figure, double change) {
  return !std::isfinite(figure) || std::isfinite(figure + change);
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Whether the text groups thousands the way the user's locale writes them ("1,000" or "12,500.50"
// where a comma groups, "1.000" where a full stop does): the separator followed by exactly three
// digits and then the end or a decimal point. Read with the separator as a decimal point, such a
// text would be taken for an amount a thousand times smaller than the one the user wrote.
bool groupsThousands(std::string_view text, const std::string& separator) {
  if (separator != "," && separator != ".") return false;
  for (std::size_t i = text.find(separator[0]); i != std::string_view::npos;
       i = text.find(separator[0], i + 1)) {
    std::size_t digits = 0;
    while (i + 1 + digits < text.size() && isDigit(text[i + 1 + digits])) ++digits;
    const std::size_t after = i + 1 + digits;
    if (digits == 3 && (after == text.size() || text[after] == '.' || text[after] == ',')) {
      return true;
    }
  }
  return false;
}

}  // namespace

RecordResult recordTransaction(BudgetStore& store, std::size_t n, std::string note,
                               std::string_view amountText, std::string_view modeWord,
                               NumberFormatter& formatter) {
  assert(n < store.envelopeCount());
  if (amountText.empty()) return {RecordOutcome::EmptyAmount, invalidAmountMessage};
  if (groupsThousands(amountText, formatter.groupingSeparator())) {
    return {RecordOutcome::InvalidAmount, invalidAmountMessage};
  }
  const std::optional<double> parsed = parseAmount(amountText);
  if (!parsed || std::fabs(*parsed) > largestAmount || n >= store.envelopeCount()) {
    return {RecordOutcome::InvalidAmount, invalidAmountMessage};
  }
  const double amount = modeWord == "subtract" ? -*parsed : *parsed;
  const double balance = store.categoryAmounts()[n];
  if (!staysFinite(balance, amount) || !staysFinite(store.totalAmount(), amount)) {
    return {RecordOutcome::InvalidAmount, invalidAmountMessage};
  }

  const double totalBefore = store.totalAmount();
  RecordedTransaction change{
      n, note, amount, std::nullopt, balance, balance + amount, totalBefore, totalBefore + amount};
  store.setBalance(n, balance + amount);
  store.setTotalAmount(totalBefore + amount);
  store.appendTransaction(n, std::move(note), amount);
  if (store.transactionCount(n) > transactionLimit) change.dropped = store.removeTransaction(n, 0);
  store.history().add(std::move(change), "Recorded the transaction.");
  return {RecordOutcome::Recorded,
          "Transaction of " + formatAmount(amount, formatter) + " recorded."};
}

std::string deleteTransaction(BudgetStore& store, std::size_t n, std::size_t displayRow,
                              NumberFormatter& formatter) {
  assert(n < store.envelopeCount() && displayRow < store.transactionCount(n));
  if (n >= store.envelopeCount() || displayRow >= store.transactionCount(n)) return {};
  const std::size_t index = store.transactionCount(n) - 1 - displayRow;
  const double amount = store.detailAmountArrays()[n][index];
  const double balanceBefore = store.categoryAmounts()[n];
  const double totalBefore = store.totalAmount();
  store.setBalance(n, balanceBefore - amount);
  store.setTotalAmount(totalBefore - amount);
  std::string message = "Transaction of " + formatAmount(amount, formatter) + " deleted.";
  auto [description, removed] = store.removeTransaction(n, index);
  store.history().add(
      DeletedTransaction{n, index, std::move(description), removed, balanceBefore,
                         store.categoryAmounts()[n], totalBefore, store.totalAmount()},
      "Deleted the transaction.");
  return message;
}

}  // namespace allot
