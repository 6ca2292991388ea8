// The application's start and stop: saving on every resign, starting again from the same file,
// and stored data that cannot be loaded.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/defaults/sqlite_user_defaults.h"
#include "running_app.h"
#include "ui/palette_color.h"

namespace allot::testing {
namespace {

namespace fs = std::filesystem;

class TemporaryFolder {
 public:
  TemporaryFolder() {
    static int made = 0;
    path_ = fs::temp_directory_path() /
            ("allot-ui-test-" + std::to_string(::getpid()) + "-" + std::to_string(++made));
    fs::create_directories(path_);
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

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
  TemporaryFolder folder;
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
  EXPECT_EQ(again.row(1).envelopeNameLabel()->backgroundColor(), paletteColor(4));
  EXPECT_EQ(again.row(1).envelopeTotalLabel()->text(), "950.25");
  EXPECT_EQ(again.totalLine(), "Total: 950.25");
  DetailViewController& detail = again.openEnvelope(1);
  EXPECT_EQ(detail.tableView().cellForRowAtIndexPath(kit::IndexPath(0))->textLabel()->text(),
            "May");
  EXPECT_EQ(again.diagnostics.str(), "");
}

TEST(AppLifecycle, DataThatCannotBeLoadedIsCopiedAsideAndTheListStartsEmpty) {
  TemporaryFolder folder;
  const fs::path file = folder.path() / "defaults.sqlite3";
  {
    SqliteUserDefaults defaults(file);
    defaults.setDouble(3.0, "totalAmount");  // and no envelope names
    ASSERT_TRUE(defaults.synchronize());
  }
  SqliteUserDefaults defaults(file);
  RunningApp run(defaults, file);
  EXPECT_EQ(run.list().tableView().numberOfRowsInSection(0), 0u);
  EXPECT_EQ(run.totalLine(), "Total: 0.00");
  const std::string said = run.diagnostics.str();
  EXPECT_NE(said.find("could not be loaded"), std::string::npos) << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1);
  int copies = 0;
  for (const auto& entry : fs::directory_iterator(folder.path())) {
    if (entry.path().filename().string().find(".unloadable-") != std::string::npos) ++copies;
  }
  EXPECT_EQ(copies, 1);
}

TEST(AppLifecycle, DataThatCannotBeCopiedAsideIsNeverSavedOver) {
  TemporaryFolder folder;
  // A file name so long that SQLite's journal name still fits and the copy's name does not.
  const fs::path file = folder.path() / (std::string(232, 'd') + ".sqlite3");
  {
    SqliteUserDefaults defaults(file);
    defaults.setDouble(3.0, "totalAmount");  // and no envelope names
    ASSERT_TRUE(defaults.synchronize());
  }
  auto bytes = [&] {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string before = bytes();

  SqliteUserDefaults defaults(file);
  RunningApp run(defaults, file);
  run.addEnvelopes({"New"});
  run.app.resignActive();
  EXPECT_NE(run.diagnostics.str().find("will not be saved over it"), std::string::npos)
      << run.diagnostics.str();
  EXPECT_EQ(bytes(), before) << run.diagnostics.str();
}

TEST(AppLifecycle, ADamagedStoreIsCopiedAsideAndANewOneTakesItsPlace) {
  TemporaryFolder folder;
  const fs::path file = folder.path() / "defaults.sqlite3";
  {
    SqliteUserDefaults defaults(file);
    RunningApp run(defaults, file);
    run.addEnvelopes({"Food", "Rent"});
    run.app.resignActive();
  }
  fs::resize_file(file, fs::file_size(file) - 3000);  // a file cut short
  auto bytes = [](const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string damaged = bytes(file);
  {
    SqliteUserDefaults defaults(file);
    RunningApp run(defaults, file);
    EXPECT_EQ(run.list().tableView().numberOfRowsInSection(0), 0u);
    EXPECT_NE(run.diagnostics.str().find("is damaged"), std::string::npos)
        << run.diagnostics.str();
    run.addEnvelopes({"New"});
    run.app.resignActive();
    EXPECT_EQ(run.diagnostics.str().find("Could not save"), std::string::npos)
        << run.diagnostics.str();
  }
  SqliteUserDefaults defaults(file);
  RunningApp again(defaults, file);
  EXPECT_EQ(again.rowNames(), (std::vector<std::string>{"New"}));
  int copies = 0;
  for (const auto& entry : fs::directory_iterator(folder.path())) {
    if (entry.path().filename().string().find(".unloadable-") == std::string::npos) continue;
    ++copies;
    EXPECT_EQ(bytes(entry.path()), damaged) << "the copy keeps the damaged file as it was";
  }
  EXPECT_EQ(copies, 1);
}

}  // namespace
}  // namespace allot::testing
