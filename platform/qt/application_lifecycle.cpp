#include "platform/qt/application_lifecycle.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <csignal>

#include "platform/defaults/stop_request.h"
#include "platform/kit/application.h"
#include "platform/qt/kit_bridge.h"

namespace allot::qt {
namespace {

int signalPipe[2] = {-1, -1};

extern "C" void forwardQuitSignal(int signal) {
  StopRequest::raise();
  const char byte = static_cast<char>(signal);
  [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

}  // namespace

ApplicationLifecycle::ApplicationLifecycle(kit::Application& application, KitBridge& bridge,
                                           QObject* parent)
    : QObject(parent), application_(application), bridge_(bridge) {
  connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
          &ApplicationLifecycle::applicationStateChanged);
  connect(qGuiApp, &QCoreApplication::aboutToQuit, this, &ApplicationLifecycle::resign);
  application_.setQuitHandler([] { QCoreApplication::quit(); });
  watchQuitSignals();
}

ApplicationLifecycle::~ApplicationLifecycle() {
  application_.setQuitHandler({});
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) std::signal(signal, SIG_DFL);
}

void ApplicationLifecycle::resign() {
  application_.resignActive();
  bridge_.sync();
}

void ApplicationLifecycle::applicationStateChanged(Qt::ApplicationState state) {
  const bool active = state == Qt::ApplicationActive;
  const bool wasActive = application_.applicationState() == kit::ApplicationState::Active;
  if (active && !wasActive) {
    application_.becomeActive();
  } else if (!active && wasActive) {
    application_.resignActive();
  }
  bridge_.sync();
}

void ApplicationLifecycle::catchQuitSignals() {
  if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) {
    return;
  }
  struct sigaction action {};
  action.sa_handler = forwardQuitSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

void ApplicationLifecycle::watchQuitSignals() {
  catchQuitSignals();
  if (signalPipe[1] < 0) return;
  signalNotifier_ = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
  connect(signalNotifier_, &QSocketNotifier::activated, this, &ApplicationLifecycle::quitForSignal);
}

void ApplicationLifecycle::quitForSignal() {
  char byte = 0;
  [[maybe_unused]] const ssize_t got = ::read(signalPipe[1], &byte, 1);
  // A signal that stopped no work leaves the last save to run in full; one that stopped a long
  // load or save makes the quit skip it.
  StopRequest::clearUnlessHonoured();
  QCoreApplication::quit();  // aboutToQuit then resigns
}

}  // namespace allot::qt
