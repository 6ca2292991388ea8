// Renders every screen of Allot to PNG files, offscreen, for the README: the list with a few
// envelopes, a transaction screen, the editor in edit mode, a confirmation alert and About.
// Usage: allot_screenshots OUTPUT_FOLDER
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QQuickWindow>
#include <QTimer>
#include <filesystem>
#include <iostream>

#include "app/app_delegate.h"
#include "app/qt_screen.h"
#include "core/envelope_editing.h"
#include "core/persistence.h"
#include "core/transactions.h"
#include "platform/defaults/sqlite_user_defaults.h"
#include "platform/qt/alert_bridge.h"
#include "platform/qt/scene_bridge.h"
#include "platform/qt/table_bridge.h"

namespace {

// A small budget: four envelopes with a few transactions each.
void writeSampleBudget(const std::filesystem::path& file) {
  allot::BudgetStore store;
  allot::NumberFormatter formatter("en_US");
  const struct {
    const char* name;
    int color;
    const char* amounts[4];
  } envelopes[] = {{"Groceries", 2, {"400", "-82,45", "-19.99", "-54,10"}},
                   {"Rent", 3, {"1250", "-1250", "1250", nullptr}},
                   {"Fun money", 4, {"120", "-35", "-12,50", nullptr}},
                   {"Car", 0, {"200", "-260.75", nullptr, nullptr}}};
  const char* notes[] = {"Pay day", "Market", "Bakery", "Corner shop"};
  for (std::size_t e = 0; e < std::size(envelopes); ++e) {
    allot::addEnvelope(store, envelopes[e].name, envelopes[e].color);
    for (int t = 0; t < 4 && envelopes[e].amounts[t] != nullptr; ++t) {
      allot::recordTransaction(store, e, notes[t], envelopes[e].amounts[t], "add", formatter);
    }
  }
  allot::SqliteUserDefaults defaults(file);
  allot::saveStore(store, defaults);
  defaults.synchronize();
}

void settle(int milliseconds = 500) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

allot::qt::SceneBridge* topScene(allot::QtScreen& screen) {
  const QVariantList scenes = screen.bridge().scenes();
  return qobject_cast<allot::qt::SceneBridge*>(scenes.last().value<QObject*>());
}

allot::qt::TableBridge* table(allot::qt::SceneBridge* scene) {
  return qobject_cast<allot::qt::TableBridge*>(scene->table());
}

bool save(allot::QtScreen& screen, const QDir& folder, const QString& name) {
  settle();
  const QImage image = screen.window()->grabWindow();
  const QString path = folder.filePath(name + ".png");
  if (!image.save(path)) {
    std::cerr << "cannot write " << path.toStdString() << '\n';
    return false;
  }
  std::cout << path.toStdString() << '\n';
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication host(argc, argv);
  if (argc != 2) {
    std::cerr << "usage: allot_screenshots OUTPUT_FOLDER\n";
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  QDir().mkpath(folder.path());

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

  bool ok = save(screen, folder, "envelope-list");
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
  topScene(screen)->tapLeftItem(topScene(screen)->leftItems().size() - 1);  // About
  ok = save(screen, folder, "about") && ok;

  screen.bridge().goBack();

  // The same list under a dark system palette.
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(28, 28, 30));
  dark.setColor(QPalette::WindowText, Qt::white);
  QGuiApplication::setPalette(dark);
  ok = save(screen, folder, "envelope-list-dark") && ok;

  std::filesystem::remove_all(scratch);
  return ok ? 0 : 1;
}
