// BudgetStore: the application's whole model, the overall total and five parallel per-envelope
// collections. It keeps the collections at one length and each envelope's two transaction lists
// in pairs; it validates no value and changes no balance or total as a side effect. The
// operations in envelope_list.h, envelope_editing.h and transactions.h build on its primitives.
// It also carries the history of the operations' changes, for undo, which only the operations fill.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/envelope_record.h"
#include "core/undo_history.h"

namespace allot {

class BudgetStore {
 public:
  // Reads. Envelope numbers and storage indexes are zero-based; the references stay valid until
  // the next write.
  std::size_t envelopeCount() const { return fields_.categoryNames.size(); }
  double totalAmount() const { return fields_.totalAmount; }
  const std::vector<std::string>& categoryNames() const { return fields_.categoryNames; }
  const std::vector<std::int64_t>& envelopeColors() const { return fields_.envelopeColors; }
  const std::vector<double>& categoryAmounts() const { return fields_.categoryAmounts; }
  const std::vector<std::vector<std::string>>& detailArrays() const { return fields_.detailArrays; }
  const std::vector<std::vector<double>>& detailAmountArrays() const {
    return fields_.detailAmountArrays;
  }
  std::size_t transactionCount(std::size_t envelope) const;
  // Moves with every write, so that a saver can tell whether anything changed since it last saved.
  std::uint64_t revision() const { return revision_; }

  // Writes. An envelope number or storage index out of range is a caller's error: it fails an
  // assertion in debug builds and otherwise changes nothing.
  void appendEnvelope(EnvelopeRecord record);
  void insertEnvelope(std::size_t envelope, EnvelopeRecord record);
  EnvelopeRecord removeEnvelope(std::size_t envelope);
  // The same as removeEnvelope(from) then insertEnvelope(to, record), but moves only the
  // envelopes between the two positions.
  void moveEnvelope(std::size_t from, std::size_t to);
  void setBalance(std::size_t envelope, double balance);
  void setTotalAmount(double total) {
    fields_.totalAmount = total;
    ++revision_;
  }
  // Appends at the end, without applying the transaction limit.
  void appendTransaction(std::size_t envelope, std::string description, double amount);
  std::pair<std::string, double> removeTransaction(std::size_t envelope, std::size_t index);
  void insertTransaction(std::size_t envelope, std::size_t index, std::string description,
                         double amount);
  // Returns the lists it replaced.
  std::pair<std::vector<std::string>, std::vector<double>> replaceTransactions(
      std::size_t envelope, std::vector<std::string> descriptions, std::vector<double> amounts);
  // Renames and recolours an envelope.
  void setNameAndColor(std::size_t envelope, std::string name, std::int64_t colorNumber);

  // The changes the operations made, for undo; emptied by assign().
  UndoHistory& history() { return history_; }
  const UndoHistory& history() const { return history_; }

  // Replaces everything at once; the load's only way in.
  // Fields that break the equal-length rules are refused (false) and the store stays as it was.
  bool assign(BudgetFields fields);

 private:
  bool hasEnvelope(std::size_t envelope) const;

  BudgetFields fields_;
  UndoHistory history_;
  std::uint64_t revision_ = 0;
};

}  // namespace allot
