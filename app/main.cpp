// The entry point: one Allot per store, the kit application over the user's SQLite store with
// AppDelegate, shown in a Qt Quick window.
#include <QGuiApplication>
#include <QIcon>
#include <iostream>

#include "app/app_delegate.h"
#include "app/instance_lock.h"
#include "app/qt_screen.h"
#include "platform/defaults/sqlite_user_defaults.h"

int main(int argc, char** argv) {
  QGuiApplication host(argc, argv);
  QGuiApplication::setApplicationName("Allot");
  QGuiApplication::setDesktopFileName("allot");
  QGuiApplication::setWindowIcon(QIcon(":/allot/icons/allot.svg"));

  const std::filesystem::path storeFile = allot::SqliteUserDefaults::defaultPath();
  allot::InstanceLock lock(storeFile);
  if (!lock.acquired()) {
    std::cerr << lock.error() << '\n';
    return 1;
  }
  allot::SqliteUserDefaults defaults(storeFile);
  allot::kit::Application application(defaults, [&storeFile] {
    return std::make_unique<allot::AppDelegate>(
        allot::AppDelegate::Options{.storeFile = storeFile, .formatLocale = std::nullopt});
  });
  application.launch();

  allot::QtScreen screen(application);
  if (!screen.show()) return 1;
  return QGuiApplication::exec();
}
