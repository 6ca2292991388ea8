// Persistence: reads the budget from the per-user key-value store at launch, bringing older stored
// layouts up to date, and writes all six keys back. Data it cannot take (a required key missing, a
// value of another kind, a list shorter than the envelope names) leaves the store empty and is
// reported, never read past or silently replaced.
#pragma once

#include <string>

#include "core/budget_store.h"
#include "platform/defaults/user_defaults.h"

namespace allot {

// Fills the store from `defaults` and says what it found: ok, or why the stored data was not taken
// (busy: locked by another program past the wait; unreadable: ours but damaged or of a shape the
// load cannot take; notOurs or newer: to be left alone), in one line; the store is then empty.
// Every key is read from one state of the store, never half of another program's commit.
Status loadStore(BudgetStore& store, UserDefaults& defaults);

// The same load in its two parts, for a load of its own (the launch's, on another thread):
// loadSummary fills the total and each envelope's name, colour and balance, with empty
// transaction lists; loadTransactions then fills the lists of those envelopes (and brings the
// colours of the oldest layouts up to date). Each says what it found as loadStore does; the caller
// reads both inside one beginReading() and endReading(), checks readStatus() after them, and
// assigns the fields to the store (empty when either step was not ok).
Status loadSummary(const UserDefaults& defaults, BudgetFields& fields);
Status loadTransactions(const UserDefaults& defaults, BudgetFields& fields);

// Writes "totalAmount" with setDouble, then the five lists with setObject (the two lists of lists
// through setTextLists and setNumberLists, which a store may encode without Values), every
// time. It does not commit: the caller (the platform, after each resign) synchronizes.
void saveStore(const BudgetStore& store, UserDefaults& defaults);

}  // namespace allot
