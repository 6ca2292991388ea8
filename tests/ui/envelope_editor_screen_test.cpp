// The envelope editor in add mode: colours, results, refused names and the keyboard.
#include <gtest/gtest.h>

#include "running_app.h"
#include "ui/palette_color.h"

namespace allot::testing {
namespace {

class EnvelopeEditor : public ::testing::Test {
 protected:
  EnvelopeEditor() { run.user.tap(*run.list().navigationItem().rightBarButtonItem()); }
  EnvelopeDetailsViewController& editor() { return run.onDisplay<EnvelopeDetailsViewController>(); }
  void save(const std::string& name) {
    run.user.enterText(*editor().envelopeName(), name);
    run.user.tap(*editor().addButton());
  }

  InMemoryUserDefaults defaults;
  RunningApp run{defaults};
};

TEST_F(EnvelopeEditor, AddModeStaysOpenAndKeepsTheChosenColourForTheNextEnvelope) {
  EXPECT_EQ(editor().addButton()->currentTitle(), "Add Envelope");
  EXPECT_EQ(editor().addButton()->backgroundColor(), paletteColor(2));
  save("Food");
  EXPECT_EQ(editor().resultsLabel()->text(), "Added '\u2068Food\u2069'");
  EXPECT_EQ(editor().envelopeName()->text(), "");
  EXPECT_FALSE(editor().envelopeName()->isFirstResponder());

  run.user.tap(RunningApp::button(editor(), "purpleButton"));
  EXPECT_EQ(editor().addButton()->backgroundColor(), paletteColor(4));
  EXPECT_EQ(editor().resultsLabel()->text(), "Added '\u2068Food\u2069'");  // choosing changes nothing else
  save("Rent");
  save("Gas");
  EXPECT_EQ(editor().resultsLabel()->text(), "Added '\u2068Gas\u2069'");
  EXPECT_EQ(run.store().envelopeColors(), (std::vector<std::int64_t>{2, 4, 4}));
  EXPECT_EQ(run.store().categoryAmounts(), (std::vector<double>{0.0, 0.0, 0.0}));

  run.user.goBack();
  EXPECT_EQ(run.rowNames(), (std::vector<std::string>{"Food", "Rent", "Gas"}));
  EXPECT_EQ(run.row(2).envelopeNameLabel()->backgroundColor(), paletteColor(4));
}

TEST_F(EnvelopeEditor, EmptyAndMissingNamesAreRefusedAndASpaceIsAName) {
  run.user.tap(*editor().addButton());  // nothing ever typed: the field has no text
  EXPECT_EQ(editor().resultsLabel()->text(), "Please enter a valid name.");
  run.user.clearText(*editor().envelopeName());
  run.user.tap(*editor().addButton());
  EXPECT_EQ(editor().resultsLabel()->text(), "Please enter a valid name.");
  EXPECT_TRUE(editor().envelopeName()->isFirstResponder());  // still ready for typing
  EXPECT_EQ(run.store().envelopeCount(), 0u);

  save(" ");
  EXPECT_EQ(run.store().categoryNames(), std::vector<std::string>{" "});
}

TEST_F(EnvelopeEditor, TouchingTheBackgroundHidesTheKeyboardAndSavesNothing) {
  run.user.enterText(*editor().envelopeName(), "Hol");
  ASSERT_TRUE(editor().envelopeName()->isFirstResponder());
  run.user.touchBackground();
  EXPECT_FALSE(editor().envelopeName()->isFirstResponder());
  EXPECT_EQ(editor().envelopeName()->text(), "Hol");
  run.user.goBack();
  EXPECT_EQ(run.store().envelopeCount(), 0u);
  EXPECT_EQ(run.app.window().firstResponder(), nullptr);
}

}  // namespace
}  // namespace allot::testing
