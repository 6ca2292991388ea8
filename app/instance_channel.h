// InstanceChannel: how a second launch of Allot on the same store reaches the one already running:
// a local socket, private to the user (under $XDG_RUNTIME_DIR, or beside the store when that is
// not set or too deep), named after the store. The running one listens and brings its window to the front
// when asked; the second asks and then leaves. It carries nothing but that request.
#pragma once

#include <QObject>
#include <filesystem>

class QLocalServer;
class QWindow;

namespace allot {

class InstanceChannel : public QObject {
  Q_OBJECT

 public:
  explicit InstanceChannel(const std::filesystem::path& storeFile, QObject* parent = nullptr);

  // In the running instance, which holds the store's lock (so any socket left by a crash is
  // stale): answers each request by raising `window`. False when it cannot listen.
  bool listen(QWindow* window);

  // In a second instance: asks the running one to raise its window; true once it said it did.
  bool askToRaise() const;

 private:
  QString name_;
  QLocalServer* server_ = nullptr;
};

}  // namespace allot
