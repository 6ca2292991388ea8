#include "platform/qt/application_lifecycle.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/kit/application.h"
#include "platform/qt/kit_bridge.h"

namespace allot::qt {
namespace {

int signalPipe[2] = {-1, -1};

extern "C" void forwardQuitSignal(int signal) {
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
  watchQuitSignals();
}

ApplicationLifecycle::~ApplicationLifecycle() {
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

void ApplicationLifecycle::watchQuitSignals() {
  if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
  signalNotifier_ = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
  connect(signalNotifier_, &QSocketNotifier::activated, this, [] {
    char byte = 0;
    [[maybe_unused]] const ssize_t got = ::read(signalPipe[1], &byte, 1);
    QCoreApplication::quit();  // aboutToQuit then resigns
  });
  struct sigaction action {};
  action.sa_handler = forwardQuitSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

}  // namespace allot::qt
