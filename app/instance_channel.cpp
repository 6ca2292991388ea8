#include "app/instance_channel.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWindow>
#include <unistd.h>

namespace allot {
namespace {

constexpr int kAnswerWaitMs = 2000;
const QByteArray kRequest = "raise\n";
const QByteArray kAnswer = "raised\n";

// A socket path unique to the store, short enough for the system's limit on socket paths: in the
// user's runtime folder, else beside the store, else (a deep folder) in the temporary folder with
// the user's number in the name.
QString channelName(const std::filesystem::path& storeFile) {
  const QByteArray digest =
      QCryptographicHash::hash(QByteArray::fromStdString(storeFile.lexically_normal().string()),
                               QCryptographicHash::Sha256)
          .toHex()
          .left(16);
  const QString fileName = "allot-" + QString::fromLatin1(digest) + ".socket";
  constexpr qsizetype kLongestPath = 100;  // sockaddr_un holds 108 bytes
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  const QString beside = QString::fromStdString(storeFile.parent_path().string());
  for (const QString& folder : {runtime, beside}) {
    if (folder.startsWith('/') && (folder + '/' + fileName).toUtf8().size() <= kLongestPath) {
      return folder + '/' + fileName;
    }
  }
  return QDir::tempPath() + "/allot-" + QString::number(::getuid()) + '-' + fileName;
}

}  // namespace

InstanceChannel::InstanceChannel(const std::filesystem::path& storeFile, QObject* parent)
    : QObject(parent), name_(channelName(storeFile)) {}

bool InstanceChannel::listen(QWindow* window) {
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  QLocalServer::removeServer(name_);
  if (!server_->listen(name_)) return false;
  connect(server_, &QLocalServer::newConnection, this, [this, window] {
    while (QLocalSocket* peer = server_->nextPendingConnection()) {
      connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
      connect(peer, &QLocalSocket::readyRead, peer, [peer, window] {
        if (!peer->canReadLine()) return;
        if (peer->readLine() == kRequest && window != nullptr) {
          window->show();
          window->raise();
          window->requestActivate();
          peer->write(kAnswer);
          peer->flush();
        }
        peer->disconnectFromServer();
      });
    }
  });
  return true;
}

bool InstanceChannel::askToRaise() const {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(kAnswerWaitMs)) return false;
  socket.write(kRequest);
  if (!socket.waitForBytesWritten(kAnswerWaitMs)) return false;
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(kAnswerWaitMs)) return false;
  }
  return socket.readLine() == kAnswer;
}

}  // namespace allot
