// The main storyboard: the application's four scenes (envelope list, transactions, envelope
// editor, About), what each one shows and how it is wired, and the segues between them. The list
// is the root of a navigation controller. Every controller it makes is handed the one store.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/budget_store.h"
#include "platform/kit/storyboard.h"

namespace allot {

// `formatLocale` names the locale amounts are shown in; none means the user's.
std::unique_ptr<kit::Storyboard> makeMainStoryboard(
    BudgetStore& store, const std::optional<std::string>& formatLocale = std::nullopt);

}  // namespace allot
