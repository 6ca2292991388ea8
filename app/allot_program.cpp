#include "app/allot_program.h"

#include <QGuiApplication>
#include <QIcon>
#include <iostream>

#include "app/app_delegate.h"

namespace allot {

AllotProgram::AllotProgram(std::filesystem::path storeFile) : storeFile_(std::move(storeFile)) {}

// The screen goes first, then the application it shows, then the store the application saves to.
AllotProgram::~AllotProgram() {
  screen_.reset();
  application_.reset();
  defaults_.reset();
}

void AllotProgram::describeHost() {
  QGuiApplication::setApplicationName("Allot");
  QGuiApplication::setDesktopFileName("allot");
  QGuiApplication::setWindowIcon(QIcon(":/allot/icons/allot.svg"));
}

bool AllotProgram::start() {
  lock_.emplace(storeFile_);
  if (!lock_->acquired()) {
    std::cerr << lock_->error() << '\n';
    return false;
  }
  defaults_ = std::make_unique<SqliteUserDefaults>(storeFile_);
  application_ = std::make_unique<kit::Application>(*defaults_, [file = storeFile_] {
    return std::make_unique<AppDelegate>(
        AppDelegate::Options{.storeFile = file, .formatLocale = std::nullopt});
  });
  application_->launch();
  screen_ = std::make_unique<QtScreen>(*application_);
  return true;
}

}  // namespace allot
