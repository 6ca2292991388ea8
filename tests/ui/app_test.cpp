// The application walked headless, through the gestures: the envelope list (first launch, rows,
// the Edit button rule, reordering, opening an envelope, the About screen); its row actions
// (Delete and Reset Balance with their confirmations, Edit Details into the editor and back); the
// editor; the transaction screen; and the application's start and stop. What the operations do
// to the budget is tested in ModelBased, the texts they show in core's texts test.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/app_delegate.h"
#include "app/launch_load.h"
#include "core/envelope_list.h"
#include "platform/defaults/in_memory_user_defaults.h"
#include "platform/defaults/sqlite_user_defaults.h"
#include "platform/kit/alert_controller.h"
#include "platform/kit/application.h"
#include "platform/kit/gestures.h"
#include "platform/kit/navigation_controller.h"
#include "tests/support/samples.h"
#include "tests/support/store_files.h"
#include "tests/support/temporary_directory.h"
#include "ui/about_view_controller.h"
#include "ui/detail_view_controller.h"
#include "ui/envelope_details_view_controller.h"
#include "ui/master_table_view_cell.h"
#include "ui/master_view_controller.h"
#include "ui/palette_color.h"

namespace allot::testing {
namespace {

namespace fs = std::filesystem;

// The whole application, launched over the given per-user defaults with amounts in en_US, and
// the helpers the tests share: finding the screen on display, reading the list's rows, and adding
// envelopes and recording amounts the way a user does.
class RunningApp {
 public:
  explicit RunningApp(UserDefaults& defaults,
                      std::optional<std::filesystem::path> storeFile = std::nullopt,
                      LaunchLoad* launchLoad = nullptr)
      : app(
            defaults,
            [this, storeFile, launchLoad] {
              return std::make_unique<AppDelegate>(
                  AppDelegate::Options{
                      .storeFile = storeFile, .formatLocale = "en_US", .launchLoad = launchLoad},
                  diagnostics);
            },
            diagnostics),
        user(app) {
    app.launch();
  }

  AppDelegate& delegate() { return static_cast<AppDelegate&>(app.delegate()); }
  const BudgetStore& store() { return delegate().store(); }
  kit::NavigationController& navigation() {
    return static_cast<kit::NavigationController&>(*app.window().rootViewController());
  }
  MasterViewController& list() {
    return static_cast<MasterViewController&>(*navigation().viewControllers().front());
  }

  // The screen taking input, which must be of class C.
  template <class C>
  C& onDisplay() {
    auto* screen = dynamic_cast<C*>(app.window().visibleViewController());
    if (screen == nullptr) {
      ADD_FAILURE() << "another screen is on display";
      throw std::logic_error("wrong screen");
    }
    return *screen;
  }

  MasterTableViewCell& row(std::size_t r) {
    return static_cast<MasterTableViewCell&>(
        *list().tableView().cellForRowAtIndexPath(kit::IndexPath(r)));
  }
  // The names shown on the list, without their line feeds.
  std::vector<std::string> rowNames() {
    std::vector<std::string> names;
    for (std::size_t r = 0; r < list().tableView().numberOfRowsInSection(0); ++r) {
      std::string text = row(r).envelopeNameLabel()->text().value_or("");
      if (!text.empty() && text.back() == '\n') text.pop_back();
      names.push_back(text);
    }
    return names;
  }
  std::string totalLine() { return list().totalLabel()->text().value_or(""); }
  std::vector<std::string> leftItemTitles() {
    std::vector<std::string> titles;
    for (const auto& item :
         list().navigationItem().leftBarButtonItems().value_or(kit::BarButtonItems{})) {
      titles.push_back(item->title());
    }
    return titles;
  }

  // Opens the editor with the list's Add button, adds the envelopes, and goes back.
  void addEnvelopes(const std::vector<std::string>& names) {
    ASSERT_TRUE(user.tap(*list().navigationItem().rightBarButtonItem()));
    auto& editor = onDisplay<EnvelopeDetailsViewController>();
    for (const std::string& name : names) {
      user.enterText(*editor.envelopeName(), name);
      user.tap(*editor.addButton());
    }
    ASSERT_TRUE(user.goBack());
  }

  // Adds an amount to row r's envelope with the add button, and goes back.
  void record(std::size_t r, const std::string& amount, const std::string& note = "") {
    DetailViewController& detail = openEnvelope(r);
    user.enterText(*detail.enterAmount(), amount);
    user.enterText(*detail.optionalNote(), note);
    user.tap(button(detail, "addAmountButton"));
    EXPECT_TRUE(user.goBack());
  }

  // The alert on display, if any, and the titles of its actions.
  kit::AlertController* alert() {
    return dynamic_cast<kit::AlertController*>(app.window().visibleViewController());
  }
  std::vector<std::string> alertActionTitles() {
    std::vector<std::string> titles;
    if (kit::AlertController* shown = alert()) {
      for (const kit::AlertAction& action : shown->actions()) titles.push_back(action.title());
    }
    return titles;
  }

  static kit::Button& button(kit::ViewController& screen, std::string_view identifier) {
    auto* found = dynamic_cast<kit::Button*>(screen.view().viewWithIdentifier(identifier));
    if (found == nullptr) throw std::logic_error("no such button");
    return *found;
  }

  // Opens the transaction screen of row r.
  DetailViewController& openEnvelope(std::size_t r) {
    EXPECT_TRUE(user.selectRow(list().tableView(), r));
    return onDisplay<DetailViewController>();
  }

  std::ostringstream diagnostics;
  kit::Application app;
  kit::Gestures user;
};

// The application over defaults in memory.
class EnvelopeListScreen : public ::testing::Test {
 protected:
  InMemoryUserDefaults defaults;
  RunningApp run{defaults};
};

// The Edit button stands first while there are two envelopes or more (deleting down to one takes
// it away again: RowActions.DeleteAndResetAskFirst), and never shows without left items.
TEST_F(EnvelopeListScreen, FirstLaunchShowsTheTotalLineAloneAndTheEditButtonComesWithTwoEnvelopes) {
  EXPECT_EQ(&run.onDisplay<MasterViewController>(), &run.list());
  EXPECT_EQ(run.list().navigationItem().title(), "Envelopes");
  EXPECT_EQ(run.list().tableView().numberOfRowsInSection(0), 0u);
  EXPECT_EQ(run.totalLine(), "Total: 0.00");
  EXPECT_EQ(run.leftItemTitles(), std::vector<std::string>{"About"});
  EXPECT_EQ(run.list().navigationItem().rightBarButtonItem()->title(), "Add");
  EXPECT_EQ(defaults.writeCount(), 0);  // launching saves nothing

  run.addEnvelopes({"Food"});
  EXPECT_EQ(run.leftItemTitles(), std::vector<std::string>{"About"});
  run.addEnvelopes({"Rent"});
  EXPECT_EQ(run.leftItemTitles(), (std::vector<std::string>{"Edit", "About"}));
  EXPECT_EQ(run.list().navigationItem().leftBarButtonItems()->front(), run.list().editButtonItem());
  run.addEnvelopes({"Gas"});
  EXPECT_EQ(run.leftItemTitles(), (std::vector<std::string>{"Edit", "About"}));
  run.list().navigationItem().setLeftBarButtonItems(std::nullopt);
  run.addEnvelopes({"Fun"});
  EXPECT_EQ(run.list().navigationItem().leftBarButtonItems(), std::nullopt);
}

// Coming back shows what was recorded (TransactionScreen), and no row stays selected.
TEST_F(EnvelopeListScreen, SelectingOpensAnEnvelopeAndDraggingInEditingModeMovesIt) {
  run.addEnvelopes({"A", "B", "C", "D"});
  DetailViewController& detail = run.openEnvelope(3);
  EXPECT_EQ(detail.envelopeNumber(), 3);
  EXPECT_EQ(detail.navigationItem().title(), "\u2068D\u2069: 0.00");
  run.user.goBack();
  EXPECT_EQ(run.list().tableView().indexPathForSelectedRow(), std::nullopt);

  run.record(0, "10");
  kit::TableView& table = run.list().tableView();
  EXPECT_FALSE(run.user.dragRow(table, 0, 2));  // not in editing mode
  ASSERT_TRUE(run.user.tap(*run.list().editButtonItem()));
  EXPECT_TRUE(table.isEditing());
  EXPECT_EQ(run.leftItemTitles(), (std::vector<std::string>{"Done", "About"}));
  ASSERT_TRUE(run.user.dragRow(table, 0, 2));
  EXPECT_EQ(run.rowNames(), (std::vector<std::string>{"B", "C", "A", "D"}));
  EXPECT_EQ(run.row(2).envelopeTotalLabel()->text(), "10.00");
  run.user.tap(*run.list().editButtonItem());
  EXPECT_FALSE(table.isEditing());
}

TEST_F(EnvelopeListScreen, AboutShowsItsTextFromTheFirstLineAfterEveryLayout) {
  ASSERT_TRUE(run.user.tap(*run.list().navigationItem().leftBarButtonItems().value().back()));
  auto& about = run.onDisplay<AboutViewController>();
  EXPECT_EQ(about.navigationItem().title(), "About");
  const std::string text = about.aboutText()->text().value_or("");
  EXPECT_EQ(text.rfind("Allot", 0), 0u);
  EXPECT_NE(text.find("on this device"), std::string::npos);
  EXPECT_GE(std::count(text.begin(), text.end(), '\n'), 20);  // long enough to scroll

  EXPECT_EQ(about.aboutText()->contentOffset(), (kit::Point{0, 0}));
  run.user.scroll(*about.aboutText(), {0, 640});
  EXPECT_EQ(about.aboutText()->contentOffset(), (kit::Point{0, 640}));
  run.user.layOut();
  EXPECT_EQ(about.aboutText()->contentOffset(), (kit::Point{0, 0}));
  run.user.scroll(*about.aboutText(), {0, 300});
  run.user.resize({844, 390});  // turned on its side
  EXPECT_EQ(about.aboutText()->contentOffset(), (kit::Point{0, 0}));
}

class RowActions : public EnvelopeListScreen {
 protected:
  // A with balance 12 and B with balance 8: a total of 20.
  RowActions() {
    run.addEnvelopes({"A", "B"});
    run.record(0, "12");
    run.record(1, "8");
  }
  kit::TableView& table() { return run.list().tableView(); }
  kit::AlertController& alert() { return run.onDisplay<kit::AlertController>(); }
  void trigger(std::size_t row, std::size_t action) {
    ASSERT_TRUE(run.user.swipeRow(table(), row));
    ASSERT_TRUE(run.user.triggerRowAction(table(), action));
  }
};

// A swipe reveals Delete, Edit Details and Reset Balance, only Reset on the system blue; Delete
// and Reset ask first, cancelling changes nothing, and deleting down to one takes the Edit button
// away but not the editing mode, which only that button changes.
TEST_F(RowActions, DeleteAndResetAskFirst) {
  ASSERT_TRUE(run.user.swipeRow(table(), 1));
  using Style = kit::TableViewRowActionStyle;
  std::vector<std::tuple<std::string, Style, std::optional<kit::Color>>> shown;
  for (const auto& action : table().shownRowActions()) {
    shown.emplace_back(action.title(), action.style(), action.backgroundColor());
  }
  EXPECT_EQ(shown,
            (decltype(shown){{"Delete", Style::Default, std::nullopt},
                             {"Edit\nDetails", Style::Normal, std::nullopt},
                             {"Reset\nBalance", Style::Normal, kit::Color::systemBlueColor()}}));

  trigger(0, 0);
  EXPECT_EQ(alert().title(), "Confirm Delete");
  EXPECT_EQ(alert().message(), deleteConfirmationMessage(run.store(), 0));
  EXPECT_EQ(alert().preferredStyle(), kit::AlertControllerStyle::Alert);
  EXPECT_EQ(run.alertActionTitles(), (std::vector<std::string>{"Cancel", "Delete"}));
  EXPECT_EQ(alert().actions()[0].style(), kit::AlertActionStyle::Cancel);
  EXPECT_EQ(alert().actions()[1].style(), kit::AlertActionStyle::Destructive);
  run.user.tapAlertAction(0);

  trigger(0, 2);
  EXPECT_EQ(alert().title(), "Confirm Reset");
  EXPECT_EQ(alert().message(), resetConfirmationMessage(run.store(), 0));
  EXPECT_EQ(run.alertActionTitles(), (std::vector<std::string>{"Cancel", "Reset"}));
  run.user.tapAlertAction(0);
  EXPECT_EQ(run.rowNames(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(run.store().detailArrays()[0].size(), 2u);
  EXPECT_EQ(run.totalLine(), "Total: 20.00");

  trigger(0, 2);
  run.user.tapAlertAction(1);
  EXPECT_EQ(run.row(0).envelopeTotalLabel()->text(), "0.00");
  EXPECT_EQ(run.totalLine(), "Total: 8.00");
  run.user.tap(*run.list().editButtonItem());  // deleting down to one stays in editing mode
  ASSERT_TRUE(table().isEditing());
  trigger(0, 0);
  run.user.tapAlertAction(1);
  EXPECT_EQ(&run.onDisplay<MasterViewController>(), &run.list());
  EXPECT_EQ(run.rowNames(), std::vector<std::string>{"B"});
  EXPECT_EQ(run.row(0).envelopeTotalLabel()->text(), "8.00");
  EXPECT_EQ(run.totalLine(), "Total: 8.00");
  EXPECT_EQ(run.leftItemTitles(), std::vector<std::string>{"About"});
  EXPECT_TRUE(run.list().isEditing()) << "only the Edit button changes the mode";
  run.addEnvelopes({"C"});
  EXPECT_EQ(run.leftItemTitles(), (std::vector<std::string>{"Done", "About"}));
  run.user.tap(*run.list().editButtonItem());
  EXPECT_FALSE(table().isEditing());
}

TEST_F(RowActions, EditDetailsOpensTheEditorForTheRowAndSavingUnwindsToTheList) {
  trigger(1, 1);
  auto& editor = run.onDisplay<EnvelopeDetailsViewController>();
  EXPECT_FALSE(run.list().editingEnvelope());
  EXPECT_TRUE(editor.editingEnvelope());
  EXPECT_EQ(editor.editNumber(), 1);
  EXPECT_EQ(editor.envelopeName()->text(), "B");
  EXPECT_EQ(editor.addButton()->currentTitle(), "Save");
  EXPECT_EQ(editor.addButton()->backgroundColor(), paletteColor(2));

  run.user.clearText(*editor.envelopeName());
  run.user.tap(*editor.addButton());  // refused, as in add mode: the editor stays
  EXPECT_EQ(&run.onDisplay<EnvelopeDetailsViewController>(), &editor);

  run.user.enterText(*editor.envelopeName(), "Bills");
  run.user.tap(RunningApp::button(editor, "blueButton"));
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

// The editor in add mode refuses empty and missing names (a space is a name), hides the keyboard
// when the background is touched, and stays open, keeping the chosen colour for the next envelope.
TEST_F(EnvelopeListScreen, TheEditorInAddMode) {
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
  run.user.tap(RunningApp::button(editor, "purpleButton"));
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

// The transaction screen: recording, refused amounts and swipe-delete.
class TransactionScreen : public EnvelopeListScreen {
 protected:
  TransactionScreen() {
    run.addEnvelopes({"Rent"});
    detail = &run.openEnvelope(0);
  }
  void tap(const char* button) { run.user.tap(RunningApp::button(*detail, button)); }
  void record(const std::string& amount, const std::string& note, const char* button) {
    run.user.enterText(*detail->enterAmount(), amount);
    run.user.enterText(*detail->optionalNote(), note);
    tap(button);
  }
  std::pair<std::string, std::string> shownRow(std::size_t r) {
    kit::TableViewCell& cell = *detail->tableView().cellForRowAtIndexPath(kit::IndexPath(r));
    return {cell.textLabel()->text().value_or("?"), cell.detailTextLabel()->text().value_or("?")};
  }
  std::size_t rowCount() { return detail->tableView().numberOfRowsInSection(0); }

  DetailViewController* detail = nullptr;
};

// Refused amounts keep the note, and only an invalid one empties the amount; a recording shows the
// new balance and its entry on top.
TEST_F(TransactionScreen, RefusedAmountsAndARecordingWithAComma) {
  record("1,234.5", "Lunch", "addAmountButton");
  EXPECT_EQ(detail->resultsLabel()->text(), "Please enter a valid number.");
  EXPECT_EQ(detail->enterAmount()->text(), "");
  EXPECT_EQ(detail->optionalNote()->text(), "Lunch");
  EXPECT_EQ(run.app.window().firstResponder(), nullptr);
  record("", "Lunch!", "addAmountButton");
  EXPECT_EQ(detail->resultsLabel()->text(), "Please enter a valid number.");
  EXPECT_EQ(detail->optionalNote()->text(), "Lunch!");
  EXPECT_EQ(detail->navigationItem().title(), "\u2068Rent\u2069: 0.00");
  EXPECT_EQ(rowCount(), 1u);
  EXPECT_EQ(shownRow(0), (std::pair<std::string, std::string>{"Added 'Rent'", "0.00"}));

  record("12,5", "Fuel", "subtractAmountButton");
  EXPECT_EQ(detail->resultsLabel()->text(), "Transaction of -12.50 recorded.");
  EXPECT_EQ(detail->navigationItem().title(), "\u2068Rent\u2069: -12.50");
  EXPECT_EQ(rowCount(), 2u);
  EXPECT_EQ(shownRow(0), (std::pair<std::string, std::string>{"Fuel", "-12.50"}));
  EXPECT_EQ(detail->enterAmount()->text(), "");
  EXPECT_EQ(detail->optionalNote()->text(), "");
  EXPECT_EQ(run.app.window().firstResponder(), nullptr);
  run.user.goBack();
  EXPECT_EQ(run.row(0).envelopeTotalLabel()->text(), "-12.50");
  EXPECT_EQ(run.totalLine(), "Total: -12.50");
}

TEST_F(TransactionScreen, SwipeDeletingTheNewestTakesItsAmountBackOut) {
  record("5", "", "addAmountButton");
  record("2", "Snack", "subtractAmountButton");
  ASSERT_TRUE(run.user.swipeDelete(detail->tableView(), 0));
  EXPECT_EQ(detail->resultsLabel()->text(), "Transaction of -2.00 deleted.");
  EXPECT_EQ(detail->navigationItem().title(), "\u2068Rent\u2069: 5.00");
  EXPECT_EQ(rowCount(), 2u);
  EXPECT_EQ(shownRow(0), (std::pair<std::string, std::string>{"", "5.00"}));

  ASSERT_TRUE(run.user.swipeDelete(detail->tableView(), 1));  // the "Added" entry: no money
  EXPECT_EQ(detail->resultsLabel()->text(), "Transaction of 0.00 deleted.");
  EXPECT_EQ(detail->navigationItem().title(), "\u2068Rent\u2069: 5.00");
}

// The application's start and stop: what the user is told and asked when the stored budget is
// not simply there: data that cannot be loaded, a store another program holds, a commit that
// fails, a read-only store.

TEST(AppLifecycle, DataThatCannotBeCopiedAsideIsNeverSavedOver) {
  TemporaryDirectory folder;
  // A file name so long that SQLite's journal name still fits and the copy's name does not.
  const fs::path file = folder.path() / (std::string(232, 'd') + ".sqlite3");
  {
    SqliteUserDefaults defaults(file);
    defaults.setDouble(3.0, "totalAmount");  // and no envelope names
    ASSERT_EQ(defaults.synchronize().message(), "");
  }
  const std::string before = fileBytes(file);

  SqliteUserDefaults defaults(file);
  RunningApp run(defaults, file);
  run.addEnvelopes({"New"});
  run.app.resignActive();
  EXPECT_NE(run.diagnostics.str().find("will not be saved over it"), std::string::npos)
      << run.diagnostics.str();
  EXPECT_EQ(fileBytes(file), before) << run.diagnostics.str();
}

// Stored data that cannot be loaded, in a whole file or in one cut short: the list starts empty,
// one line says why, the file is copied aside as it was, and a new store takes its place. The
// same when the launch loads on a thread of its own: the envelopes of transaction lists that
// cannot be loaded never show.
TEST(AppLifecycle, DataThatCannotBeLoadedIsCopiedAsideAndANewStoreTakesItsPlace) {
  // A key set to a value that cannot be taken; no key: the file is cut short; no value: the
  // key's stored bytes are not a value at all.
  const struct {
    const char* what;
    const char* key;
    std::optional<Value> value;
    const char* said;
  } cases[] = {{"a damaged store file", nullptr, std::nullopt, "is damaged"},
               {"a value that cannot be decoded", "categoryNames", std::nullopt,
                "damaged value under the key \"categoryNames\""},
               {"balances that cannot be loaded", "categoryNames",
                Value(Value::List{"Food", "Rent", "Gas"}), "has 2 entries for 3"},
               {"a balance that is not a number", "categoryAmounts",
                Value(Value::List{std::nan(""), 0.0}), "not a finite number"},
               {"transaction lists that cannot be loaded", "detailAmountArrays",
                Value(Value::List{Value::List{}}), "has 1 entries for 2"}};
  for (std::size_t trial = 0; trial < 2 * std::size(cases); ++trial) {
    const bool onItsOwnThread = trial >= std::size(cases);
    const auto& [what, key, value, expected] = cases[trial % std::size(cases)];
    SCOPED_TRACE(std::string(what) + (onItsOwnThread ? ", on its own thread" : ""));
    TemporaryDirectory folder;
    const fs::path file = folder.path() / "defaults.sqlite3";
    saveAndCommit(sizeableBudget(2, 10), file);
    if (key == nullptr) {
      fs::resize_file(file, fs::file_size(file) - 3000);
    } else if (!value) {
      runSql(
          file,
          ("UPDATE defaults SET value = x'9f01' WHERE key = '" + std::string(key) + "';").c_str());
    } else {
      SqliteUserDefaults defaults(file);
      defaults.setObject(*value, key);
      ASSERT_EQ(defaults.synchronize().message(), "");
    }
    const std::string before = fileBytes(file);
    {
      SqliteUserDefaults defaults(file);
      std::optional<LaunchLoad> load;
      if (onItsOwnThread) load.emplace(defaults);
      RunningApp run(defaults, file, load ? &*load : nullptr);
      EXPECT_EQ(run.list().tableView().numberOfRowsInSection(0), 0u);
      EXPECT_EQ(run.totalLine(), "Total: 0.00");
      const std::string said = run.diagnostics.str();
      EXPECT_NE(said.find(expected), std::string::npos) << said;
      EXPECT_NE(said.find("could not be loaded"), std::string::npos) << said;
      EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
      run.addEnvelopes({"New"});
      run.app.resignActive();
      EXPECT_EQ(run.diagnostics.str().find("Could not save"), std::string::npos)
          << run.diagnostics.str();
    }
    SqliteUserDefaults defaults(file);
    RunningApp again(defaults, file);
    EXPECT_EQ(again.rowNames(), (std::vector<std::string>{"New"}));
    std::vector<std::string> copies;
    for (const fs::path& entry : folder.listing()) {
      if (entry.string().find(".unloadable-") != std::string::npos)
        copies.push_back(fileBytes(entry));
    }
    EXPECT_EQ(copies, std::vector<std::string>{before}) << "one copy, of the file as it was";
  }
}

// Through a LaunchLoad, as the program launches: the budget is whole before the list shows it,
// and each colour is the one the whole load decides: colours stored without transaction lists are
// not taken, so the list shows the default colour from the start.
TEST(AppLifecycle, ALaunchOnItsOwnThreadShowsTheWholeBudget) {
  TemporaryDirectory folder;
  const fs::path file = folder.path() / "defaults.sqlite3";
  saveAndCommit(sizeableBudget(2, 10), file);
  {
    SqliteUserDefaults defaults(file);
    LaunchLoad load(defaults);
    RunningApp run(defaults, file, &load);
    EXPECT_FALSE(run.store().transactionsPending());
    EXPECT_EQ(run.rowNames(), (std::vector<std::string>{"Envelope 0", "Envelope 1"}));
    EXPECT_EQ(run.openEnvelope(1).tableView().numberOfRowsInSection(0), 11u);
    EXPECT_EQ(run.diagnostics.str(), "");
  }
  const fs::path older = folder.path() / "older.sqlite3";
  {
    SqliteUserDefaults defaults(older);
    defaults.setDouble(5.0, "totalAmount");
    defaults.setObject(Value(Value::List{"Food"}), "categoryNames");
    defaults.setObject(Value(Value::List{5.0}), "categoryAmounts");
    defaults.setObject(Value(Value::List{4}), "envelopeColors");
    ASSERT_EQ(defaults.synchronize().message(), "");
  }
  SqliteUserDefaults defaults(older);
  LaunchLoad load(defaults);
  RunningApp run(defaults, older, &load);
  EXPECT_EQ(run.store().envelopeColors(), std::vector<std::int64_t>{2});
  EXPECT_EQ(run.row(0).envelopeNameLabel()->backgroundColor(), paletteColor(2));
}

// A store that another program holds locked at launch is neither loaded, copied nor saved over:
// an alert says so and offers Retry until the store loads.
TEST(AppLifecycle, ABusyStoreAtLaunchIsOfferedRetryAndLoadsOnceFree) {
  TemporaryDirectory folder;
  const fs::path file = folder.path() / "defaults.sqlite3";
  saveAndCommit(budgetWith("Food"), file);
  const std::string bytes = fileBytes(file);
  LockHolder holder(file);
  SqliteUserDefaults defaults(file);
  defaults.setBusyWait(50);
  RunningApp run(defaults, file);
  ASSERT_NE(run.alert(), nullptr);
  EXPECT_EQ(run.alert()->title(), "Budget in Use");
  EXPECT_EQ(run.alert()->message(), "Your budget is in use by another program.");
  EXPECT_EQ(run.alertActionTitles(), (std::vector<std::string>{"Quit", "Retry"}));
  EXPECT_TRUE(run.rowNames().empty());

  run.user.tapAlertAction(1);  // still locked
  ASSERT_NE(run.alert(), nullptr);
  run.app.resignActive();
  holder.release();
  EXPECT_EQ(fileBytes(file), bytes) << "nothing saved over the budget it could not load";

  run.user.tapAlertAction(1);
  EXPECT_EQ(run.alert(), nullptr);
  EXPECT_EQ(run.rowNames(), std::vector<std::string>{"Food"});
  EXPECT_FALSE(run.app.window().notice().has_value());
  EXPECT_EQ(folder.listing().size(), 1u) << "no copy aside";
}

// Changes are committed between resigns on request. A commit that fails (here a full disk) keeps
// the changes, says so once on the diagnostics stream and in the window until one succeeds, and a
// quit with such changes asks first.
TEST(AppLifecycle, ACommitThatFailsIsShownKeptAndAskedAboutBeforeQuitting) {
  TemporaryDirectory folder;
  const fs::path file = folder.path() / "defaults.sqlite3";
  SqliteUserDefaults defaults(file);
  RunningApp run(defaults, file);
  bool quit = false;
  run.app.setQuitHandler([&quit] { quit = true; });
  run.addEnvelopes({"Food"});
  EXPECT_TRUE(run.app.hasUnsavedChanges());
  EXPECT_TRUE(run.app.saveChanges());
  EXPECT_FALSE(run.app.hasUnsavedChanges());
  EXPECT_EQ(SqliteUserDefaults(file).valueForKey("categoryNames"), Value(Value::List{"Food"}));
  {
    // With nothing new, a commit that fails (the store locked by another program) loses nothing:
    // neither the window nor the quit says otherwise.
    LockHolder holder(file);
    defaults.setBusyWait(50);
    run.app.resignActive();
    ASSERT_TRUE(run.app.window().notice().has_value());
    EXPECT_EQ(run.app.window().notice()->actionTitle, "Undo") << "still the offer to undo";
    EXPECT_TRUE(run.app.requestQuit());
    quit = false;
    run.diagnostics.str("");
  }

  std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  const rlimit full{0, limit.rlim_max};
  ::setrlimit(RLIMIT_FSIZE, &full);
  run.addEnvelopes({"Rent"});
  EXPECT_FALSE(run.app.saveChanges());
  EXPECT_FALSE(run.app.saveChanges());
  ASSERT_TRUE(run.app.window().notice().has_value());
  EXPECT_NE(run.app.window().notice()->text.find("could not save your latest changes"),
            std::string::npos);
  EXPECT_FALSE(run.app.window().notice()->dismissible);
  const std::string said = run.diagnostics.str();
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;

  EXPECT_FALSE(run.app.requestQuit());
  ASSERT_NE(run.alert(), nullptr);
  EXPECT_EQ(run.alert()->title(), "Changes Not Saved");
  EXPECT_EQ(run.alertActionTitles(),
            (std::vector<std::string>{"Quit Without Saving", "Try Again"}));
  run.user.tapAlertAction(1);
  EXPECT_FALSE(quit);
  ASSERT_NE(run.alert(), nullptr) << "asked again";

  ::setrlimit(RLIMIT_FSIZE, &limit);
  run.user.tapAlertAction(1);
  EXPECT_TRUE(quit);
  EXPECT_FALSE(run.app.window().notice().has_value());
  EXPECT_EQ(SqliteUserDefaults(file).valueForKey("categoryNames"),
            Value(Value::List{"Food", "Rent"}));
}

// A store that the user may read but not write, or that a newer Allot wrote, is shown with a
// notice and never written. Root may write anything, so the read-only one is opened by "nobody".
TEST(AppLifecycle, ReadOnlyAndNewerStoresAreShownWithANoticeAndNeverWritten) {
  TemporaryDirectory folder;
  const fs::path newer = folder.path() / "newer.sqlite3";
  saveAndCommit(budgetWith("Food"), newer);
  runSql(newer, "PRAGMA user_version = 4;");
  const std::string bytes = fileBytes(newer);
  {
    SqliteUserDefaults defaults(newer);
    RunningApp run(defaults, newer);
    EXPECT_EQ(run.rowNames(), std::vector<std::string>{"Food"});
    ASSERT_TRUE(run.app.window().notice().has_value());
    EXPECT_NE(run.app.window().notice()->text.find("newer version of Allot"), std::string::npos);
    run.addEnvelopes({"Rent"});
    EXPECT_FALSE(run.app.hasUnsavedChanges()) << "nothing that could be saved";
    run.app.resignActive();
  }
  EXPECT_EQ(fileBytes(newer), bytes);
  EXPECT_EQ(folder.listing().size(), 1u) << "no copy aside";

  const fs::path readOnly = folder.path() / "read-only" / "defaults.sqlite3";
  saveAndCommit(budgetWith("Food"), readOnly);
  fs::permissions(readOnly, fs::perms(0644));
  fs::permissions(readOnly.parent_path(), fs::perms(0755));
  fs::permissions(folder.path(), fs::perms(0755));
  EXPECT_EXIT(
      {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::_Exit(2);
        SqliteUserDefaults defaults(readOnly);
        RunningApp run(defaults, readOnly);
        const auto& notice = run.app.window().notice();
        if (run.rowNames() != std::vector<std::string>{"Food"}) std::_Exit(3);
        if (!notice || notice->text.find("read-only") == std::string::npos) std::_Exit(4);
        std::cerr << notice->text;
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0), "cannot be written");
}

}  // namespace
}  // namespace allot::testing
