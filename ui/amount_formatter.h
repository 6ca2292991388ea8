// The number formatter each screen that shows amounts owns: the user's locale, or a named one
// (tests name "en_US" so that the texts they expect are fixed); and the tone an amount's label
// takes.
#pragma once

#include <optional>
#include <string>

#include "platform/format/number_formatter.h"
#include "platform/kit/label.h"

namespace allot {

NumberFormatter makeAmountFormatter(const std::optional<std::string>& locale);

// Negative below zero, so the screen can draw such an amount apart; plain otherwise.
kit::Label::Tone amountTone(double amount);

}  // namespace allot
