// The application's start and stop when the stored budget is not simply there: data that cannot
// be loaded, a store another program holds, a commit that fails, a read-only or newer store.
#include "app/app_delegate.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

#include "platform/defaults/sqlite_user_defaults.h"
#include "tests/support/samples.h"
#include "tests/support/store_files.h"
#include "tests/support/temporary_directory.h"
#include "tests/ui/running_app.h"

namespace allot::testing {
namespace {

namespace fs = std::filesystem;

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

// Data that cannot be loaded, with the launch's load on its own thread or not: the list starts
// empty, one line says why, the file is copied aside as it was and a new store takes its place,
// which the next launch loads whole.
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
    LaunchLoad load(defaults);  // now whole, as the program launches
    RunningApp again(defaults, file, &load);
    EXPECT_EQ(again.rowNames(), (std::vector<std::string>{"New"}));
    EXPECT_EQ(again.openEnvelope(0).tableView().numberOfRowsInSection(0), 1u);
    EXPECT_EQ(again.diagnostics.str(), "");
    std::vector<std::string> copies;
    for (const fs::path& entry : folder.listing()) {
      if (entry.string().find(".unloadable-") != std::string::npos)
        copies.push_back(fileBytes(entry));
    }
    EXPECT_EQ(copies, std::vector<std::string>{before}) << "one copy, of the file as it was";
  }
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

// A commit that fails (a full disk) keeps the changes, says so once and in the window until one
// succeeds, and a quit with such changes asks first.
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
