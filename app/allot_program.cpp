#include "app/allot_program.h"

#include <QGuiApplication>
#include <QIcon>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <csignal>
#include <iostream>

#include "app/app_delegate.h"
#include "platform/defaults/private_files.h"
#include "platform/defaults/stop_request.h"

namespace allot {

AllotProgram::AllotProgram(std::filesystem::path storeFile) : storeFile_(std::move(storeFile)) {}

// The screen goes first, then the application it shows, then the load and the store the
// application saves to.
AllotProgram::~AllotProgram() {
  screen_.reset();
  application_.reset();
  launchLoad_.reset();
  defaults_.reset();
}

void AllotProgram::describeHost() {
  QGuiApplication::setApplicationName("Allot");
  QGuiApplication::setDesktopFileName("allot");
}

// What the first frame need not wait for: the icon, drawn by Qt's SVG engine, which is not loaded
// until then.
void AllotProgram::afterFirstFrame(QQuickWindow& window) {
  QObject::connect(
      &window, &QQuickWindow::frameSwapped, qApp,
      [] { QGuiApplication::setWindowIcon(QIcon(":/allot/icons/allot.svg")); },
      Qt::SingleShotConnection);
}

Status AllotProgram::start(Start* started) {
  if (Status folder = preparePrivateFolder(storeFile_.parent_path()); !folder.isOk()) {
    return folder;
  }
  const Status locked = lock_.acquire(storeFile_);
  channel_ = std::make_unique<InstanceChannel>(storeFile_);
  if (locked.kind() == Status::Kind::Busy) {
    const Status raised = channel_->askToRaise();
    if (!raised.isOk()) return Status::failed(locked.message() + " " + raised.message());
    *started = Start::RaisedOther;
    return Status::ok();
  }
  // A folder that cannot be written is shown read-only; any other failure stops the start.
  std::optional<std::string> readOnlyReason;
  if (locked.kind() == Status::Kind::ReadOnly) {
    readOnlyReason = locked.message();
  } else if (!locked.isOk()) {
    return locked;
  }
  defaults_ = std::make_unique<SqliteUserDefaults>(storeFile_);
  // The budget loads on another thread while this one prepares the window; the delegate takes it
  // whole before any screen reads it.
  launchLoad_ = std::make_unique<LaunchLoad>(*defaults_);
  std::unique_ptr<QQmlApplicationEngine> engine = QtScreen::prepareEngine();
  application_ = std::make_unique<kit::Application>(*defaults_, [this, readOnlyReason] {
    auto delegate =
        std::make_unique<AppDelegate>(AppDelegate::Options{.storeFile = storeFile_,
                                                           .formatLocale = std::nullopt,
                                                           .launchLoad = launchLoad_.get(),
                                                           .readOnlyReason = readOnlyReason});
    return delegate;
  });
  application_->launch();
  if (StopRequest::wasHonoured()) {
    *started = Start::Stopped;
    return Status::ok();
  }
  screen_ = std::make_unique<QtScreen>(*application_, std::move(engine));
  *started = Start::Running;
  return Status::ok();
}

bool AllotProgram::show() {
  if (!screen_->show()) return false;
  afterFirstFrame(*screen_->window());
  // Without the channel, later launches cannot raise this window; this one runs all the same.
  if (Status listening = channel_->listen(screen_->window()); !listening.isOk()) {
    std::cerr << "allot: " << listening.message() << '\n';
  }
  return true;
}

int AllotProgram::finish(int loopStatus) {
  if (application_ == nullptr || !application_->hasUnsavedChanges()) return loopStatus;
  std::cerr << "allot: quit with changes that could not be saved: "
            << application_->lastCommit().message() << '\n';
  return 1;
}

int AllotProgram::explain(const std::string& refusal) {
  std::cerr << "allot: " << refusal << '\n';
  // Nothing to save here: a quit signal may end the process as it is.
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) std::signal(signal, SIG_DFL);
  QQmlApplicationEngine engine;
  engine.addImportPath(QStringLiteral(":/"));
  engine.setInitialProperties({{"message", QString::fromStdString(refusal)}});
  engine.load(QUrl("qrc:/Allot/LaunchProblemWindow.qml"));
  auto* window = qobject_cast<QQuickWindow*>(engine.rootObjects().value(0));
  if (window == nullptr) return 1;
  afterFirstFrame(*window);
  QGuiApplication::exec();
  return 1;
}

}  // namespace allot
