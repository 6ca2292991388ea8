// Notice: a line the application shows above every screen, for something the user must know that
// is not a question (a problem with the stored data, say). It does not take the screen's input;
// a dismissible one has a button that takes it away. One may also offer an action on what it says
// (Undo), with a button of its own; such an offer goes by itself after a few seconds.
#pragma once

#include <string>

namespace allot::kit {

struct Notice {
  std::string text;
  bool dismissible = true;
  std::string actionTitle;  // empty: no action
  friend bool operator==(const Notice&, const Notice&) = default;
};

}  // namespace allot::kit
