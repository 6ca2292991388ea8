// The text of the About screen, as paragraphs of three kinds: the title (the application's name),
// headings and body text; and the same as one text, paragraphs apart by an empty line.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace allot {

struct AboutParagraph {
  enum class Kind { Title, Heading, Body };
  Kind kind;
  std::string_view text;
};

std::span<const AboutParagraph> aboutParagraphs();
std::string aboutAllotText();

}  // namespace allot
