// InstanceChannel: how a second launch of Allot on the same store reaches the one already running:
// a local socket named after the store, in a folder only the user may write to: $XDG_RUNTIME_DIR
// when it is the user's and closed to others, else the store's own private folder, else (a path
// too long for a socket) a private folder of the user's in the temporary folder. A socket there
// that is not the user's is never connected to. The running one listens and brings its window to
// the front when asked; the second asks and then leaves. It carries nothing but that request: the
// listener reads one short line per connection, drops connections that say more or stay silent,
// and keeps only a few open at once.
#pragma once

#include <QObject>
#include <filesystem>

#include "platform/defaults/status.h"

class QLocalServer;
class QLocalSocket;
class QWindow;

namespace allot {

class InstanceChannel : public QObject {
  Q_OBJECT

 public:
  explicit InstanceChannel(const std::filesystem::path& storeFile, QObject* parent = nullptr);

  // In the running instance, which holds the store's lock (so any socket left by a crash is
  // stale): answers each request by raising `window`. Failed, saying why, when it cannot listen.
  Status listen(QWindow* window);

  // In a second instance: asks the running one to raise its window, waiting a few seconds for it
  // to listen (it may have just taken the lock); ok once it said it did, failed with the sentence
  // that says it did not answer otherwise. A socket that is not the user's is never asked; that
  // is said on standard error.
  Status askToRaise() const;

 private:
  void admit(QLocalSocket* peer, QWindow* window);

  QString name_;  // empty when no private folder could be found or made
  QLocalServer* server_ = nullptr;
  int openPeers_ = 0;
};

}  // namespace allot
