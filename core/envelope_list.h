// The logic behind the envelope list: the total line, each row's texts, the confirmation
// questions, and deleting, resetting and moving envelopes. None of it saves or asks anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/budget_store.h"
#include "platform/format/number_formatter.h"

namespace allot {

struct EnvelopeRowContent {
  std::string nameText;     // the name and a line feed
  std::string balanceText;  // the formatted balance
  std::int64_t colorNumber;
};

std::string totalText(const BudgetStore& store, NumberFormatter& formatter);
EnvelopeRowContent envelopeRowContent(const BudgetStore& store, std::size_t n,
                                      NumberFormatter& formatter);
std::string deleteConfirmationMessage(const BudgetStore& store, std::size_t n);
std::string resetConfirmationMessage(const BudgetStore& store, std::size_t n);

// Removes envelope n and takes its balance out of the total.
void deleteEnvelope(BudgetStore& store, std::size_t n);
// Takes envelope n's balance out of the total, sets it to 0 and leaves one "Reset envelope" entry.
void resetEnvelope(BudgetStore& store, std::size_t n);
// Envelope `from` ends at envelope number `to`; the others keep their order.
void moveEnvelope(BudgetStore& store, std::size_t from, std::size_t to);

// Reordering is offered only with two envelopes or more.
bool needsEditButton(std::size_t count);

}  // namespace allot
