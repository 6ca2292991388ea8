#include "ui/envelope_details_view_controller.h"

#include <cassert>
#include <cstddef>

#include "core/envelope_editing.h"
#include "ui/palette_color.h"

namespace allot {

EnvelopeDetailsViewController::EnvelopeDetailsViewController(BudgetStore& store)
    : store_(store), colorNumber_(defaultColorNumber), color_(*paletteColor(defaultColorNumber)) {}

void EnvelopeDetailsViewController::viewDidLoad() {
  kit::ViewController::viewDidLoad();
  if (!editingEnvelope_) return;
  const bool valid = editNumber_ && *editNumber_ >= 0 &&
                     static_cast<std::size_t>(*editNumber_) < store_.envelopeCount();
  assert(valid && "edit mode names an envelope of the store");
  if (!valid) return;
  const auto n = static_cast<std::size_t>(*editNumber_);
  envelopeName_->setText(store_.categoryNames()[n]);
  colorNumber_ = store_.envelopeColors()[n];
  if (auto stored = paletteColor(colorNumber_)) color_ = *stored;
  addButton_->setBackgroundColor(color_);
  addButton_->setTitle("Save", kit::ControlState::Normal);
  showChosenColor();
}

void EnvelopeDetailsViewController::setColorButton(std::int64_t colorNumber, kit::Button* button) {
  colorButtons_.emplace_back(colorNumber, button);
  button->setSelected(colorNumber == colorNumber_);
}

void EnvelopeDetailsViewController::chooseColor(std::int64_t colorNumber) {
  colorNumber_ = colorNumber;
  addButton_->setBackgroundColor(paletteColor(colorNumber));
  showChosenColor();
}

void EnvelopeDetailsViewController::showChosenColor() {
  for (const auto& [number, button] : colorButtons_) button->setSelected(number == colorNumber_);
}

void EnvelopeDetailsViewController::tapRed(kit::Sender /*sender*/) {
  chooseColor(0);
}
void EnvelopeDetailsViewController::tapYellow(kit::Sender /*sender*/) {
  chooseColor(1);
}
void EnvelopeDetailsViewController::tapGreen(kit::Sender /*sender*/) {
  chooseColor(2);
}
void EnvelopeDetailsViewController::tapBlue(kit::Sender /*sender*/) {
  chooseColor(3);
}
void EnvelopeDetailsViewController::tapPurple(kit::Sender /*sender*/) {
  chooseColor(4);
}

void EnvelopeDetailsViewController::save(kit::Sender /*sender*/) {
  static const char* const kInvalidName = "Please enter a valid name.";
  // An emptied field keeps the keyboard so the user can type a name straight away.
  if (envelopeName_->text() == std::string()) {
    resultsLabel_->setText(kInvalidName);
    return;
  }
  envelopeName_->resignFirstResponder();
  if (!isValidEnvelopeName(envelopeName_->text())) {
    resultsLabel_->setText(kInvalidName);
    return;
  }
  const std::string name = *envelopeName_->text();
  if (!editingEnvelope_) {
    resultsLabel_->setText(addEnvelope(store_, name, colorNumber_));
  } else {
    const bool valid = editNumber_ && *editNumber_ >= 0 &&
                       static_cast<std::size_t>(*editNumber_) < store_.envelopeCount();
    assert(valid && "edit mode names an envelope of the store");
    if (valid) updateEnvelope(store_, static_cast<std::size_t>(*editNumber_), name, colorNumber_);
    performSegueWithIdentifier("goBack", this);
  }
  editingEnvelope_ = false;
  editNumber_.reset();
  envelopeName_->setText("");
}

void EnvelopeDetailsViewController::touchesBegan(const std::vector<kit::Touch>& /*touches*/,
                                                 const kit::Event& /*event*/) {
  view().endEditing(true);
}

}  // namespace allot
