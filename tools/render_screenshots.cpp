// Renders every screen of Allot to PNG files, offscreen, for the README: the list with a few
// envelopes, a transaction screen, the row actions and a row's right-click menu, the editor in edit
// mode, two confirmation alerts (the keyboard on Cancel), About, the offer to undo a delete, a wide
// window with the list beside an envelope, and the notices and alerts about the stored budget.
// With --dark-desktop, only the list, a transaction screen and a confirmation, in the dark palette
// the platform theme gives (run it with QT_QPA_PLATFORMTHEME=qt6ct and a dark colour scheme, as
// the screenshots target does).
// Usage: allot_screenshots OUTPUT_FOLDER [--dark-desktop]
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QQuickWindow>
#include <QTimer>
#include <filesystem>
#include <iostream>
#include <string_view>

#include "app/app_delegate.h"
#include "app/qt_screen.h"
#include "platform/defaults/sqlite_user_defaults.h"
#include "platform/qt/alert_bridge.h"
#include "tools/screenshot_support.h"

using namespace allot::screenshots;

int main(int argc, char** argv) {
  // Offscreen, on the screen the caller describes (the screenshots target gives one with room
  // for the whole window).
  if (!qEnvironmentVariable("QT_QPA_PLATFORM").startsWith("offscreen")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  const bool darkDesktop = argc == 3 && std::string_view(argv[2]) == "--dark-desktop";
  if (argc != 2 && !darkDesktop) {
    std::cerr << "usage: allot_screenshots OUTPUT_FOLDER [--dark-desktop]\n";
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  QDir().mkpath(folder.path());
  // Before any Qt object exists: it may run in a child process of its own.
  bool ok = darkDesktop || renderReadOnlyStore(folder);
  QGuiApplication host(argc, argv);
  if (darkDesktop && QGuiApplication::palette().color(QPalette::Window).lightness() >= 128) {
    std::cerr << "allot_screenshots: the platform theme gave no dark palette\n";
    return 1;
  }

  const auto scratch = std::filesystem::temp_directory_path() / "allot-screenshots";
  std::filesystem::remove_all(scratch);
  const auto file = scratch / "defaults.sqlite3";
  writeSampleBudget(file);

  allot::SqliteUserDefaults defaults(file);
  allot::kit::Application application(defaults, [&file] {
    return std::make_unique<allot::AppDelegate>(
        allot::AppDelegate::Options{.storeFile = file, .formatLocale = "en_US"});
  });
  application.launch();
  allot::QtScreen screen(application);
  if (!screen.show()) return 1;

  if (darkDesktop) {
    ok = save(screen, folder, "envelope-list-dark") && ok;
    table(topScene(screen))->select(0);
    ok = save(screen, folder, "transactions-dark") && ok;
    screen.bridge().goBack();
    table(topScene(screen))->swipe(2);
    table(topScene(screen))->triggerRowAction(0);
    ok = save(screen, folder, "confirm-delete-dark") && ok;
    std::filesystem::remove_all(scratch);
    return ok ? 0 : 1;
  }

  ok = save(screen, folder, "envelope-list") && ok;
  table(topScene(screen))->select(0);
  ok = save(screen, folder, "transactions") && ok;
  screen.bridge().goBack();
  table(topScene(screen))->swipe(1);
  ok = save(screen, folder, "row-actions") && ok;
  table(topScene(screen))->triggerRowAction(1);  // Edit Details
  ok = save(screen, folder, "editor") && ok;
  screen.bridge().goBack();
  table(topScene(screen))->swipe(2);
  table(topScene(screen))->triggerRowAction(0);  // Delete, then the confirmation
  ok = save(screen, folder, "confirm-delete") && ok;
  qobject_cast<allot::qt::AlertBridge*>(screen.bridge().alert())->tap(0);
  table(topScene(screen))->swipe(1);
  table(topScene(screen))->triggerRowAction(2);  // Reset Balance: the keyboard is on Cancel
  ok = save(screen, folder, "confirm-focused") && ok;
  qobject_cast<allot::qt::AlertBridge*>(screen.bridge().alert())->tap(0);
  topScene(screen)->tapLeftItem(topScene(screen)->leftItems().size() - 1);  // About
  ok = save(screen, folder, "about") && ok;

  screen.bridge().goBack();
  settle();
  ok = rightClick(screen, "envelopeRow1") && save(screen, folder, "row-menu") && ok;
  pressKey(screen, Qt::Key_Escape);

  // A laptop's window, wide enough for the list beside an envelope.
  screen.window()->resize(1280, 800);
  table(topScene(screen))->select(0);
  ok = save(screen, folder, "wide-window") && ok;
  screen.bridge().goBack();

  // The offer to undo: after a transaction's delete, and after an envelope's, each taken back.
  table(topScene(screen))->select(0);
  table(topScene(screen))->commitDelete(0);
  ok = save(screen, folder, "undo-transaction") && ok;
  screen.bridge().tapNoticeAction();
  screen.bridge().goBack();
  table(topScene(screen))->swipe(2);
  table(topScene(screen))->triggerRowAction(0);
  qobject_cast<allot::qt::AlertBridge*>(screen.bridge().alert())->tap(1);
  ok = save(screen, folder, "undo-envelope") && ok;
  screen.bridge().undo();

  // A phone turned on its side, and the smallest window.
  screen.window()->resize(720, 360);
  table(topScene(screen))->select(0);
  ok = save(screen, folder, "transactions-landscape") && ok;
  screen.bridge().goBack();
  screen.window()->resize(320, 480);
  topScene(screen)->tapRightItem();
  ok = save(screen, folder, "editor-small") && ok;
  screen.bridge().goBack();
  screen.window()->resize(390, 844);

  ok = renderStoreProblems(folder) && ok;
  std::filesystem::remove_all(scratch);
  return ok ? 0 : 1;
}
