// The application's start and stop: saving on every resign, starting again from the same file,
// and stored data that cannot be loaded.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/defaults/sqlite_user_defaults.h"
#include "running_app.h"
#include "tests/support/temporary_directory.h"
#include "ui/palette_color.h"

namespace allot::testing {
namespace {

namespace fs = std::filesystem;

TEST(AppLifecycle, EachResignSavesAllSixKeysAndCommits) {
  InMemoryUserDefaults defaults;
  RunningApp run(defaults);
  EXPECT_EQ(defaults.writeCount(), 0);  // launching writes nothing
  run.app.resignActive();
  run.app.resignActive();
  EXPECT_EQ(defaults.writeCount(), 12);
  EXPECT_EQ(defaults.synchronizeCount(), 2);
  EXPECT_EQ(defaults.valueForKey("totalAmount"), Value(0.0));
  EXPECT_EQ(defaults.valueForKey("categoryNames"), Value(Value::List{}));
}

TEST(AppLifecycle, ANewApplicationOverTheSameFileShowsTheSameEnvelopes) {
  TemporaryDirectory folder;
  const fs::path file = folder.path() / "defaults.sqlite3";
  {
    SqliteUserDefaults defaults(file);
    RunningApp run(defaults, file);
    run.addEnvelopes({"Food"});
    run.user.tap(*run.list().navigationItem().rightBarButtonItem());
    auto& editor = run.onDisplay<EnvelopeDetailsViewController>();
    run.user.tap(RunningApp::button(editor, "purpleButton"));
    run.user.enterText(*editor.envelopeName(), "Rent");
    run.user.tap(*editor.addButton());
    run.user.goBack();
    run.record(1, "950,25", "May");
    run.app.resignActive();
    EXPECT_EQ(run.diagnostics.str(), "");
  }
  SqliteUserDefaults defaults(file);
  RunningApp again(defaults, file);
  EXPECT_EQ(again.rowNames(), (std::vector<std::string>{"Food", "Rent"}));
  EXPECT_EQ(again.row(0).envelopeNameLabel()->text(), "Food\n");
  EXPECT_EQ(again.row(1).envelopeNameLabel()->backgroundColor(), paletteColor(4));
  EXPECT_EQ(again.row(1).envelopeTotalLabel()->text(), "950.25");
  EXPECT_EQ(again.totalLine(), "Total: 950.25");
  DetailViewController& detail = again.openEnvelope(1);
  EXPECT_EQ(detail.tableView().cellForRowAtIndexPath(kit::IndexPath(0))->textLabel()->text(),
            "May");
  EXPECT_EQ(again.diagnostics.str(), "");
}

TEST(AppLifecycle, DataThatCannotBeCopiedAsideIsNeverSavedOver) {
  TemporaryDirectory folder;
  // A file name so long that SQLite's journal name still fits and the copy's name does not.
  const fs::path file = folder.path() / (std::string(232, 'd') + ".sqlite3");
  {
    SqliteUserDefaults defaults(file);
    defaults.setDouble(3.0, "totalAmount");  // and no envelope names
    ASSERT_TRUE(defaults.synchronize());
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
// one line says why, the file is copied aside as it was, and a new store takes its place.
TEST(AppLifecycle, DataThatCannotBeLoadedIsCopiedAsideAndANewStoreTakesItsPlace) {
  for (const bool cutShort : {false, true}) {
    SCOPED_TRACE(cutShort ? "a damaged store file" : "data that cannot be loaded");
    TemporaryDirectory folder;
    const fs::path file = folder.path() / "defaults.sqlite3";
    {
      SqliteUserDefaults defaults(file);
      RunningApp run(defaults, file);
      run.addEnvelopes({"Food", "Rent"});
      run.app.resignActive();
    }
    if (cutShort) {
      fs::resize_file(file, fs::file_size(file) - 3000);
    } else {
      SqliteUserDefaults defaults(file);
      defaults.setObject(Value::List{"Food", "Rent", "Gas"}, "categoryNames");  // two balances
      ASSERT_TRUE(defaults.synchronize());
    }
    const std::string before = fileBytes(file);
    {
      SqliteUserDefaults defaults(file);
      RunningApp run(defaults, file);
      EXPECT_EQ(run.list().tableView().numberOfRowsInSection(0), 0u);
      EXPECT_EQ(run.totalLine(), "Total: 0.00");
      const std::string said = run.diagnostics.str();
      EXPECT_NE(said.find(cutShort ? "is damaged" : "has 2 entries for 3"), std::string::npos)
          << said;
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
    std::vector<fs::path> copies;
    for (const auto& entry : fs::directory_iterator(folder.path())) {
      if (entry.path().filename().string().find(".unloadable-") != std::string::npos) {
        copies.push_back(entry.path());
      }
    }
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(fileBytes(copies[0]), before) << "the copy keeps the file as it was";
  }
}

}  // namespace
}  // namespace allot::testing
