// EnvelopeDetailsViewController: the envelope editor. In add mode each valid save appends a new
// envelope and the screen stays open for the next one; in edit mode (handed an envelope number
// by the list) a valid save renames and recolours that envelope and unwinds to the list ("goBack").
// The five colour buttons choose the colour the next save stores; the save button shows it.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "core/budget_store.h"
#include "platform/kit/button.h"
#include "platform/kit/color.h"
#include "platform/kit/label.h"
#include "platform/kit/text_field.h"
#include "platform/kit/view_controller.h"

namespace allot {

class EnvelopeDetailsViewController : public kit::ViewController {
 public:
  explicit EnvelopeDetailsViewController(BudgetStore& store);

  bool editingEnvelope() const { return editingEnvelope_; }
  void setEditingEnvelope(bool editing) { editingEnvelope_ = editing; }
  std::optional<std::int64_t> editNumber() const { return editNumber_; }
  void setEditNumber(std::optional<std::int64_t> number) { editNumber_ = number; }
  std::int64_t colorNumber() const { return colorNumber_; }
  const kit::Color& color() const { return color_; }

  kit::TextField* envelopeName() const { return envelopeName_; }
  void setEnvelopeName(kit::TextField* field) { envelopeName_ = field; }
  kit::Button* addButton() const { return addButton_; }
  void setAddButton(kit::Button* button) { addButton_ = button; }
  kit::Label* resultsLabel() const { return resultsLabel_; }
  void setResultsLabel(kit::Label* label) { resultsLabel_ = label; }
  // The button that chooses palette colour `colorNumber`; the chosen one is kept selected.
  void setColorButton(std::int64_t colorNumber, kit::Button* button);

  void save(kit::Sender sender);
  void tapRed(kit::Sender sender);
  void tapYellow(kit::Sender sender);
  void tapGreen(kit::Sender sender);
  void tapBlue(kit::Sender sender);
  void tapPurple(kit::Sender sender);

  void viewDidLoad() override;
  // A touch outside the controls ends editing, hiding the keyboard.
  void touchesBegan(const std::vector<kit::Touch>& touches, const kit::Event& event) override;

 private:
  void chooseColor(std::int64_t colorNumber);
  void showChosenColor();

  BudgetStore& store_;
  bool editingEnvelope_ = false;
  std::optional<std::int64_t> editNumber_;
  std::int64_t colorNumber_;
  kit::Color color_;
  kit::TextField* envelopeName_ = nullptr;
  kit::Button* addButton_ = nullptr;
  kit::Label* resultsLabel_ = nullptr;
  std::vector<std::pair<std::int64_t, kit::Button*>> colorButtons_;
};

}  // namespace allot
