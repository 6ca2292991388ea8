#include "ui/about_text.h"

namespace allot {
namespace {

constexpr AboutParagraph kParagraphs[] = {
    {AboutParagraph::Kind::Title, "Allot"},
    {AboutParagraph::Kind::Body,
     "Allot helps you give every unit of your money a job before you spend it. It is an "
     "envelope budget: instead of one pot of money, you keep a handful of envelopes, one "
     "for each thing you spend on, such as rent, groceries, fuel or holidays."},
    {AboutParagraph::Kind::Heading, "How envelopes work"},
    {AboutParagraph::Kind::Body,
     "Each envelope has a name, a colour and a balance. When money comes in, put part of "
     "it into each envelope with the Add button on the envelope's screen. When you spend, "
     "take the amount out of the envelope it belongs to with the Subtract button. A short "
     "note helps you remember later what an entry was for."},
    {AboutParagraph::Kind::Body,
     "The balance of an envelope tells you at a glance how much is left for that purpose. "
     "When an envelope runs low, you know to spend less on it, or to move money into it "
     "from another envelope: subtract the amount from one and add it to the other."},
    {AboutParagraph::Kind::Body,
     "The total under the list is the sum of all your envelopes: the money you have given "
     "a job to."},
    {AboutParagraph::Kind::Heading, "Keeping the list tidy"},
    {AboutParagraph::Kind::Body,
     "Swipe an envelope to reset its balance, to change its name and colour, or to delete "
     "it. Allot asks before it resets or deletes anything. With two envelopes or more, the"
     " Edit button lets you drag them into the order you like."},
    {AboutParagraph::Kind::Body,
     "Each envelope keeps its latest 200 transactions, newest first. Swipe a transaction "
     "to delete it; its amount goes back out of the balance."},
    {AboutParagraph::Kind::Heading, "Your data stays with you"},
    {AboutParagraph::Kind::Body,
     "Allot keeps your envelopes on this device only. It has no account, sends nothing "
     "over the network and shows no advertising. Your budget is saved whenever you leave "
     "the application."},
};

}  // namespace

std::span<const AboutParagraph> aboutParagraphs() {
  return kParagraphs;
}

std::string aboutAllotText() {
  std::string text;
  for (const AboutParagraph& paragraph : kParagraphs) {
    if (!text.empty()) text += "\n\n";
    text += paragraph.text;
  }
  return text + "\n";
}

}  // namespace allot
