// The screenshots of what Allot tells the user about the stored budget: each over a store made
// to show it for real (data that cannot be loaded, a newer version's store, a store locked by
// another program, a full disk, a read-only store), never a notice set by hand.
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QGuiApplication>
#include <filesystem>
#include <functional>

#include "app/app_delegate.h"
#include "platform/defaults/sqlite_user_defaults.h"
#include "platform/defaults/value_rows.h"
#include "platform/qt/alert_bridge.h"
#include "tools/screenshot_support.h"

namespace fs = std::filesystem;

namespace allot::screenshots {
namespace {

// Launches Allot over `file` (prepared by `prepare`), lets `act` do something in the window and
// saves it as `name`.
bool renderOver(const QDir& folder, const QString& name, const fs::path& file,
                const std::function<void(SqliteUserDefaults&)>& prepare,
                const std::function<void(QtScreen&, kit::Application&)>& act = {}) {
  SqliteUserDefaults defaults(file);
  if (prepare) prepare(defaults);
  kit::Application application(defaults, [&file] {
    return std::make_unique<AppDelegate>(
        AppDelegate::Options{.storeFile = file, .formatLocale = "en_US"});
  });
  application.launch();
  QtScreen screen(application);
  if (!screen.show()) return false;
  if (act) act(screen, application);
  return save(screen, folder, name);
}

void execute(const fs::path& file, const char* sql) {
  sqlite3* db = nullptr;
  sqlite3_open(file.c_str(), &db);
  sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

}  // namespace

bool renderStoreProblems(const QDir& folder) {
  const fs::path scratch = fs::temp_directory_path() / "allot-store-problem-shots";
  fs::remove_all(scratch);
  fs::create_directories(scratch);
  bool ok = true;

  const fs::path unloadable = scratch / "unloadable" / "defaults.sqlite3";
  writeSampleBudget(unloadable);
  execute(unloadable,
          "DELETE FROM list_items WHERE key = 'categoryAmounts' AND position > 0; "
          "UPDATE defaults SET value = x'81' WHERE key = 'categoryAmounts';");
  ok = renderOver(folder, "notice-unloadable", unloadable, {}) && ok;

  const fs::path newer = scratch / "newer" / "defaults.sqlite3";
  writeSampleBudget(newer);
  const std::string newerLayout =
      "PRAGMA user_version = " + std::to_string(ValueRows::kLayout + 1) + ";";
  execute(newer, newerLayout.c_str());
  ok = renderOver(folder, "notice-newer", newer, {}) && ok;

  // Another connection's exclusive lock stops this process's reads as another program's would.
  const fs::path busy = scratch / "busy" / "defaults.sqlite3";
  writeSampleBudget(busy);
  sqlite3* holder = nullptr;
  sqlite3_open(busy.c_str(), &holder);
  sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
  ok = renderOver(folder, "busy-alert", busy,
                  [](SqliteUserDefaults& defaults) { defaults.setBusyWait(100); }) &&
       ok;
  sqlite3_close(holder);

  // A save that fails: another program takes the lock after the load and keeps it; then the user
  // quits.
  const fs::path locked = scratch / "locked" / "defaults.sqlite3";
  writeSampleBudget(locked);
  for (const QString name : {"notice-save-failed", "confirm-quit"}) {
    sqlite3* other = nullptr;
    ok = renderOver(
             folder, name, locked, [](SqliteUserDefaults& defaults) { defaults.setBusyWait(100); },
             [&](QtScreen& screen, kit::Application& application) {
               table(topScene(screen))->swipe(0);
               table(topScene(screen))->triggerRowAction(2);  // Reset Balance, confirmed
               qobject_cast<qt::AlertBridge*>(screen.bridge().alert())->tap(1);
               sqlite3_open(locked.c_str(), &other);
               sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
               application.saveChanges();
               if (name == "confirm-quit") screen.bridge().mayQuit();
               screen.bridge().sync();
             }) &&
         ok;
    sqlite3_close(other);
  }
  fs::remove_all(scratch);
  return ok;
}

bool renderReadOnlyStore(const QDir& folder) {
  const fs::path scratch = fs::temp_directory_path() / "allot-read-only-shot";
  fs::remove_all(scratch);
  const fs::path file = scratch / "allot" / "defaults.sqlite3";
  writeSampleBudget(file);
  fs::permissions(scratch, fs::perms(0777));
  fs::permissions(file.parent_path(), fs::perms(0755));
  fs::permissions(file, fs::perms(0644));
  const fs::path picture = scratch / "notice-read-only.png";

  const pid_t child = fork();
  if (child == 0) {
    // Root may write anything: the store is opened by the unprivileged user "nobody".
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
    int argc = 1;
    char name[] = "allot_screenshots";
    char* argv[] = {name, nullptr};
    QGuiApplication host(argc, argv);
    _exit(renderOver(QDir(QString::fromStdString(scratch.string())), "notice-read-only", file, {})
              ? 0
              : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  const fs::path target = folder.filePath("notice-read-only.png").toStdString();
  std::error_code error;
  fs::copy_file(picture, target, fs::copy_options::overwrite_existing, error);
  fs::remove_all(scratch);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 && !error;
}

}  // namespace allot::screenshots
