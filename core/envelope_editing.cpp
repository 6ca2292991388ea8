#include "core/envelope_editing.h"

#include <cassert>

#include "core/user_text.h"

namespace allot {

const std::array<P3Color, 5>& colorPalette() {
  // A function-local static is initialised once, thread-safely, on first use.
  static const std::array<P3Color, 5> palette{{
      {1.0, 0.231, 0.188, 0.88},    // red
      {1.0, 0.8, 0.0, 0.88},        // yellow
      {0.328, 0.719, 0.208, 0.88},  // green
      {0.0, 0.478, 1.0, 0.88},      // blue
      {0.64, 0.342, 0.843, 0.88},   // purple
  }};
  return palette;
}

bool isValidEnvelopeName(const std::optional<std::string>& text) {
  return text.has_value() && !text->empty();
}

std::string addEnvelope(BudgetStore& store, std::string name, std::int64_t colorNumber) {
  std::string shown = "Added '" + isolated(name) + "'";
  std::string done = "Added the envelope \u201C" + isolated(name) + "\u201D.";
  std::string description = "Added '" + name + "'";
  store.appendEnvelope({std::move(name), colorNumber, 0.0, {std::move(description)}, {0.0}});
  store.history().add(AddedEnvelope{store.envelopeCount() - 1, {}}, std::move(done));
  return shown;
}

void updateEnvelope(BudgetStore& store, std::size_t envelopeNumber, std::string name,
                    std::int64_t colorNumber) {
  assert(envelopeNumber < store.envelopeCount());
  if (envelopeNumber >= store.envelopeCount()) return;
  std::string description = "Edited '" + name + "'";
  EditedEnvelope change{envelopeNumber, store.categoryNames()[envelopeNumber],
                        name,           store.envelopeColors()[envelopeNumber],
                        colorNumber,    description};
  std::string done = "Edited the envelope \u201C" + isolated(name) + "\u201D.";
  store.setNameAndColor(envelopeNumber, std::move(name), colorNumber);
  store.appendTransaction(envelopeNumber, std::move(description), 0.0);
  store.history().add(std::move(change), std::move(done));
}

}  // namespace allot
