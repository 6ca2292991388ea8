#include "ui/main_storyboard.h"

#include "platform/kit/bar_button_item.h"
#include "platform/kit/button.h"
#include "platform/kit/label.h"
#include "platform/kit/text_field.h"
#include "platform/kit/text_view.h"
#include "ui/about_text.h"
#include "ui/about_view_controller.h"
#include "ui/detail_view_controller.h"
#include "ui/envelope_details_view_controller.h"
#include "ui/layout_names.h"
#include "ui/master_table_view_cell.h"
#include "ui/master_view_controller.h"
#include "ui/palette_color.h"

namespace allot {
namespace {

using kit::Button;
using kit::ControlState;
using kit::Label;
using kit::TextField;
using kit::View;
using layout::CellLabel;
using layout::Outlet;
using layout::Scene;

// The identifier a view or a scene carries, from its one declaration.
template <class Name>
std::string id(Name name) {
  return std::string(layout::name(name));
}

// The envelope list: the total line under a table of "envelopeCell" rows; selecting a row shows
// its transactions. The About button is the one left item of its own, so the Edit button joins
// it; the right item opens the editor in add mode.
void setUpEnvelopeList(MasterViewController& list) {
  list.setTitle("Envelopes");
  auto about = std::make_shared<kit::BarButtonItem>(
      "About", [&list](kit::Sender item) { list.performSegueWithIdentifier("showAbout", item); });
  about->setIdentifier(id(layout::BarItem::AboutItem));
  list.editButtonItem()->setIdentifier(id(layout::BarItem::EditItem));
  list.navigationItem().setLeftBarButtonItems(kit::BarButtonItems{about});
  list.navigationItem().setRightBarButtonItem(std::make_shared<kit::BarButtonItem>(
      kit::BarButtonSystemItem::Add,
      [&list](kit::Sender item) { list.performSegueWithIdentifier("addEnvelope", item); }));
}

std::unique_ptr<kit::TableViewCell> makeEnvelopeCell() {
  auto cell =
      std::make_unique<MasterTableViewCell>(kit::TableViewCellStyle::Custom, "envelopeCell");
  cell->setEnvelopeNameLabel(&cell->addSubview<Label>(id(CellLabel::EnvelopeNameLabel)));
  cell->setEnvelopeTotalLabel(&cell->addSubview<Label>(id(CellLabel::EnvelopeTotalLabel)));
  return cell;
}

void layOutEnvelopeList(MasterViewController& list, View& root) {
  list.tableView().registerPrototype("envelopeCell", makeEnvelopeCell, "showDetail");
  list.setTotalLabel(&root.addSubview<Label>(id(Outlet::TotalLabel)));
}

// The transactions of one envelope: amount and note fields, add and subtract buttons, the results
// label, and a table of "detailCell" rows (description, amount at the right).
void layOutTransactions(DetailViewController& detail, View& root) {
  detail.tableView().registerPrototype("detailCell", [] {
    return std::make_unique<kit::TableViewCell>(kit::TableViewCellStyle::Value1, "detailCell");
  });
  auto& amount = root.addSubview<TextField>(id(Outlet::EnterAmount));
  amount.setPlaceholder("Amount");
  detail.setEnterAmount(&amount);
  auto& note = root.addSubview<TextField>(id(Outlet::OptionalNote));
  note.setPlaceholder("Note (optional)");
  detail.setOptionalNote(&note);
  auto& add = root.addSubview<Button>(id(Outlet::AddAmountButton));
  add.setTitle("Add", ControlState::Normal);
  add.addAction([&detail](kit::Sender sender) { detail.addAmount(sender); });
  auto& subtract = root.addSubview<Button>(id(Outlet::SubtractAmountButton));
  subtract.setTitle("Subtract", ControlState::Normal);
  subtract.addAction([&detail](kit::Sender sender) { detail.subtractAmount(sender); });
  detail.setResultsLabel(&root.addSubview<Label>(id(Outlet::ResultsLabel)));
}

// The envelope editor: the name field, the five colour buttons, the save button on the chosen
// colour (green until another is chosen) and the results label.
void setUpEnvelopeEditor(EnvelopeDetailsViewController& editor) {
  editor.setTitle("Envelope");
}

void layOutEnvelopeEditor(EnvelopeDetailsViewController& editor, View& root) {
  auto& name = root.addSubview<TextField>(id(Outlet::EnvelopeName));
  name.setPlaceholder("Envelope name");
  editor.setEnvelopeName(&name);

  struct ColorButton {
    Outlet outlet;
    const char* title;
    std::int64_t colorNumber;
    void (EnvelopeDetailsViewController::*action)(kit::Sender);
  };
  static const ColorButton kColorButtons[] = {
      {Outlet::RedButton, "Red", 0, &EnvelopeDetailsViewController::tapRed},
      {Outlet::YellowButton, "Yellow", 1, &EnvelopeDetailsViewController::tapYellow},
      {Outlet::GreenButton, "Green", 2, &EnvelopeDetailsViewController::tapGreen},
      {Outlet::BlueButton, "Blue", 3, &EnvelopeDetailsViewController::tapBlue},
      {Outlet::PurpleButton, "Purple", 4, &EnvelopeDetailsViewController::tapPurple},
  };
  for (const ColorButton& colorButton : kColorButtons) {
    auto& button = root.addSubview<Button>(id(colorButton.outlet));
    button.setAccessibilityLabel(colorButton.title);
    button.setBackgroundColor(paletteColor(colorButton.colorNumber));
    button.addAction(
        [&editor, action = colorButton.action](kit::Sender s) { (editor.*action)(s); });
    editor.setColorButton(colorButton.colorNumber, &button);
  }

  auto& save = root.addSubview<Button>(id(Outlet::AddButton));
  save.setTitle("Add Envelope", ControlState::Normal);
  save.setBackgroundColor(paletteColor(editor.colorNumber()));
  save.addAction([&editor](kit::Sender sender) { editor.save(sender); });
  editor.setAddButton(&save);

  auto& results = root.addSubview<Label>(id(Outlet::ResultsLabel));
  results.setText("Name the envelope and choose its colour.");
  editor.setResultsLabel(&results);
}

// The About screen: one scrolling text.
void setUpAbout(AboutViewController& about) {
  about.setTitle("About");
}

void layOutAbout(AboutViewController& about, View& root) {
  auto& text = root.addSubview<kit::TextView>(id(Outlet::AboutText));
  text.setText(aboutAllotText());
  about.setAboutText(&text);
}

}  // namespace

std::unique_ptr<kit::Storyboard> makeMainStoryboard(
    BudgetStore& store, const std::optional<std::string>& formatLocale) {
  auto board = std::make_unique<kit::Storyboard>();
  board->addScene<MasterViewController>(
      id(Scene::EnvelopeList),
      [&store, formatLocale] {
        return std::make_unique<MasterViewController>(store, formatLocale);
      },
      setUpEnvelopeList, layOutEnvelopeList);
  board->addScene<DetailViewController>(
      id(Scene::Transactions),
      [&store, formatLocale] {
        return std::make_unique<DetailViewController>(store, formatLocale);
      },
      {}, layOutTransactions);
  board->addScene<EnvelopeDetailsViewController>(
      id(Scene::EnvelopeEditor),
      [&store] { return std::make_unique<EnvelopeDetailsViewController>(store); },
      setUpEnvelopeEditor, layOutEnvelopeEditor);
  board->addScene<AboutViewController>(
      id(Scene::About), [] { return std::make_unique<AboutViewController>(); }, setUpAbout,
      layOutAbout);

  using kit::SegueKind;
  const std::string list = id(Scene::EnvelopeList);
  const std::string editor = id(Scene::EnvelopeEditor);
  board->addSegue({"showDetail", list, id(Scene::Transactions), SegueKind::Show, {}});
  board->addSegue({"editEnvelope", list, editor, SegueKind::Show, {}});
  board->addSegue({"addEnvelope", list, editor, SegueKind::Show, {}});
  board->addSegue({"showAbout", list, id(Scene::About), SegueKind::Show, {}});
  board->addUnwindSegue("goBack", editor, list, &MasterViewController::unwindToMasterWithSegue);

  board->setInitialScene(list, true);
  return board;
}

}  // namespace allot
