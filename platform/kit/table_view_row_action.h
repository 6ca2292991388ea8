// TableViewRowAction: one of the buttons that a swipe on a table row reveals, with a style, a
// title (line feeds in it break the title into lines), an optional background colour replacing
// the style's own, and the handler that runs when the user taps it.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/kit/color.h"
#include "platform/kit/index_path.h"

namespace allot::kit {

enum class TableViewRowActionStyle {
  Default = 0,  // destructive: red unless given a colour
  Normal = 1,   // grey unless given a colour
};

class TableViewRowAction {
 public:
  using Handler = std::function<void(TableViewRowAction& action, const IndexPath& indexPath)>;

  TableViewRowAction(TableViewRowActionStyle style, std::string title, Handler handler)
      : style_(style), title_(std::move(title)), handler_(std::move(handler)) {}

  TableViewRowActionStyle style() const { return style_; }
  const std::string& title() const { return title_; }
  const std::optional<Color>& backgroundColor() const { return backgroundColor_; }
  void setBackgroundColor(Color color) { backgroundColor_ = color; }
  // What the button shows: its own colour, or its style's.
  Color shownBackgroundColor() const;

  // Runs the handler for the row it was revealed on.
  void run(const IndexPath& indexPath);

 private:
  TableViewRowActionStyle style_;
  std::string title_;
  Handler handler_;
  std::optional<Color> backgroundColor_;
};

}  // namespace allot::kit
