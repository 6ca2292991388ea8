// The envelope editor, in add mode and opened by a row's Edit Details.
#include "ui/envelope_details_view_controller.h"

#include <gtest/gtest.h>

#include "tests/ui/running_app.h"
#include "ui/palette_color.h"

namespace allot::testing {
using EnvelopeEditor = EnvelopeListScreen;

TEST_F(EnvelopeEditor, EditDetailsOpensItForTheRowAndSavingUnwindsToTheList) {
  run.addEnvelopes({"A", "B"});
  run.record(1, "8");
  ASSERT_TRUE(run.user.swipeRow(run.list().tableView(), 1));
  ASSERT_TRUE(run.user.triggerRowAction(run.list().tableView(), 1));
  auto& editor = run.onDisplay<EnvelopeDetailsViewController>();
  EXPECT_FALSE(run.list().editingEnvelope());
  EXPECT_TRUE(editor.editingEnvelope());
  EXPECT_EQ(editor.editNumber(), 1);
  EXPECT_EQ(editor.envelopeName()->text(), "B");
  EXPECT_EQ(editor.addButton()->currentTitle(), "Save");
  EXPECT_EQ(editor.addButton()->backgroundColor(), paletteColor(2));

  run.user.enterText(*editor.envelopeName(), "Bills");
  run.user.tap(RunningApp::button(editor, layout::Outlet::BlueButton));
  run.user.tap(*editor.addButton());
  EXPECT_EQ(&run.onDisplay<MasterViewController>(), &run.list());
  EXPECT_EQ(run.navigation().viewControllers().size(), 1u);
  EXPECT_EQ(run.rowNames(), (std::vector<std::string>{"A", "Bills"}));
  EXPECT_EQ(run.row(1).envelopeNameLabel()->backgroundColor(), paletteColor(3));
  EXPECT_EQ(run.row(1).envelopeTotalLabel()->text(), "8.00");
  EXPECT_EQ(run.app.window().firstResponder(), nullptr);

  // Any other way into the editor is add mode.
  run.user.tap(*run.list().navigationItem().rightBarButtonItem());
  EXPECT_FALSE(run.onDisplay<EnvelopeDetailsViewController>().editingEnvelope());
}

// Empty and missing names are refused (a space is a name), touching the background hides the
// keyboard, and add mode stays open, keeping the chosen colour.
TEST_F(EnvelopeEditor, InAddMode) {
  run.user.tap(*run.list().navigationItem().rightBarButtonItem());
  auto& editor = run.onDisplay<EnvelopeDetailsViewController>();
  auto save = [&](const std::string& name) {
    run.user.enterText(*editor.envelopeName(), name);
    run.user.tap(*editor.addButton());
  };
  EXPECT_EQ(editor.addButton()->currentTitle(), "Add Envelope");
  EXPECT_EQ(editor.addButton()->backgroundColor(), paletteColor(2));
  run.user.tap(*editor.addButton());  // nothing ever typed: the field has no text
  EXPECT_EQ(editor.resultsLabel()->text(), "Please enter a valid name.");
  run.user.clearText(*editor.envelopeName());
  run.user.tap(*editor.addButton());
  EXPECT_EQ(editor.resultsLabel()->text(), "Please enter a valid name.");
  EXPECT_TRUE(editor.envelopeName()->isFirstResponder());  // still ready for typing
  run.user.enterText(*editor.envelopeName(), "Hol");
  run.user.touchBackground();
  EXPECT_FALSE(editor.envelopeName()->isFirstResponder());
  EXPECT_EQ(editor.envelopeName()->text(), "Hol");
  EXPECT_EQ(run.store().envelopeCount(), 0u);

  save("Food");
  EXPECT_EQ(editor.resultsLabel()->text(), "Added '\u2068Food\u2069'");
  EXPECT_EQ(editor.envelopeName()->text(), "");
  EXPECT_FALSE(editor.envelopeName()->isFirstResponder());
  run.user.tap(RunningApp::button(editor, layout::Outlet::PurpleButton));
  EXPECT_EQ(editor.addButton()->backgroundColor(), paletteColor(4));
  EXPECT_EQ(editor.resultsLabel()->text(),
            "Added '\u2068Food\u2069'");  // choosing changes nothing else
  save("Rent");
  save(" ");
  EXPECT_EQ(editor.resultsLabel()->text(), "Added '\u2068 \u2069'");
  EXPECT_EQ(run.store().envelopeColors(), (std::vector<std::int64_t>{2, 4, 4}));
  run.user.goBack();
  EXPECT_EQ(run.rowNames(), (std::vector<std::string>{"Food", "Rent", " "}));
  EXPECT_EQ(run.row(2).envelopeNameLabel()->backgroundColor(), paletteColor(4));
  EXPECT_EQ(run.app.window().firstResponder(), nullptr);
}

}  // namespace allot::testing
