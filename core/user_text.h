// User text inside the program's own sentences: a name set between U+2068 FIRST STRONG ISOLATE
// and U+2069 POP DIRECTIONAL ISOLATE, so that whatever direction its characters take (a
// right-to-left name, a stray U+202E RIGHT-TO-LEFT OVERRIDE) cannot reorder the words, quotes or
// amount around it. Only for texts that are shown, never for what is stored.
#pragma once

#include <string>
#include <string_view>

namespace allot {

inline std::string isolated(std::string_view userText) {
  std::string text;
  text.reserve(userText.size() + 6);
  text.append("\u2068").append(userText).append("\u2069");
  return text;
}

}  // namespace allot
