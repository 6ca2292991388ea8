#include "app/instance_channel.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <iostream>

namespace allot {
namespace {

constexpr int kAnswerWaitMs = 2000;
constexpr int kListenWaitMs = 5000;  // how long a second launch waits for the first to listen
constexpr int kRetryMs = 100;
constexpr qint64 kLongestRequest = 64;
constexpr int kPeerLifetimeMs = 3000;
constexpr int kMostPeers = 8;
constexpr qsizetype kLongestPath = 100;  // sockaddr_un holds 108 bytes
const QByteArray kRequest = "raise\n";
const QByteArray kAnswer = "raised\n";

// A real folder (not a link) of the user's, with every permission bit in `closed` off.
bool isUsersFolder(const QString& folder, mode_t closed) {
  struct stat status {};
  return folder.startsWith('/') && ::lstat(QFile::encodeName(folder).constData(), &status) == 0 &&
         S_ISDIR(status.st_mode) && status.st_uid == ::getuid() && (status.st_mode & closed) == 0;
}

// A folder for the socket that Allot makes itself, 0700, in the temporary folder (or /tmp, when
// that is too deep): allot-UID, or a new one beside it when that name is taken by anything else
// than such a folder. Empty when none can be made.
QString madeFolder(const std::function<bool(const QString&)>& fits) {
  const QString own = "/allot-" + QString::number(::getuid());
  const QString folder =
      (fits(QDir::tempPath() + own + "-XXXXXX") ? QDir::tempPath() : "/tmp") + own;
  ::mkdir(QFile::encodeName(folder).constData(), 0700);  // it may exist already
  if (isUsersFolder(folder, 077)) return folder;
  QByteArray pattern = QFile::encodeName(folder + "-XXXXXX");
  if (::mkdtemp(pattern.data()) == nullptr) return {};
  const QString made = QFile::decodeName(pattern);
  return isUsersFolder(made, 077) ? made : QString();
}

// A socket path unique to the store, short enough for the system's limit on socket paths, in a
// folder that no other user may write to. Empty when there is none.
QString channelName(const std::filesystem::path& storeFile) {
  const QByteArray digest =
      QCryptographicHash::hash(QByteArray::fromStdString(storeFile.lexically_normal().string()),
                               QCryptographicHash::Sha256)
          .toHex()
          .left(16);
  const QString fileName = "allot-" + QString::fromLatin1(digest) + ".socket";
  const auto fits = [&fileName](const QString& folder) {
    return QFile::encodeName(folder + '/' + fileName).size() <= kLongestPath;
  };
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  const QString beside = QFile::decodeName(storeFile.parent_path().c_str());
  for (const QString& folder : {runtime, beside}) {
    if (fits(folder) && isUsersFolder(folder, S_IWGRP | S_IWOTH)) return folder + '/' + fileName;
  }
  const QString made = madeFolder(fits);
  return made.isEmpty() ? QString() : made + '/' + fileName;
}

// Who holds the socket's name: nobody, the user (a socket of theirs), or anything else.
enum class Holder { Nobody, User, Other };

Holder holderOf(const QString& path) {
  struct stat status {};
  if (::lstat(QFile::encodeName(path).constData(), &status) != 0) {
    return errno == ENOENT ? Holder::Nobody : Holder::Other;
  }
  return S_ISSOCK(status.st_mode) && status.st_uid == ::getuid() ? Holder::User : Holder::Other;
}

}  // namespace

InstanceChannel::InstanceChannel(const std::filesystem::path& storeFile, QObject* parent)
    : QObject(parent), name_(channelName(storeFile)) {}

Status InstanceChannel::listen(QWindow* window) {
  if (name_.isEmpty()) {
    return Status::failed(
        "no private folder could be made for the socket by which later launches raise this "
        "window; they will not reach it.");
  }
  // Only the user may write in the folder, so whatever holds the name is left from before and
  // is replaced; a file of someone else's there is worth a word.
  if (holderOf(name_) == Holder::Other) {
    std::cerr << "allot: " << qPrintable(name_)
              << " was not a socket of this user's; replacing it.\n";
  }
  QLocalServer::removeServer(name_);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(name_)) {
    return Status::failed("later launches cannot reach this one to raise its window: " +
                          server_->errorString().toStdString());
  }
  connect(server_, &QLocalServer::newConnection, this, [this, window] {
    while (QLocalSocket* peer = server_->nextPendingConnection()) admit(peer, window);
  });
  return Status::ok();
}

// Each connection may send one short line within a few seconds; a raise request is answered, and
// anything else, anything longer, or silence closes it.
void InstanceChannel::admit(QLocalSocket* peer, QWindow* window) {
  const auto drop = [peer] {
    peer->abort();
    peer->deleteLater();
  };
  if (openPeers_ >= kMostPeers) {
    drop();
    return;
  }
  ++openPeers_;
  connect(peer, &QObject::destroyed, this, [this] { --openPeers_; });
  peer->setReadBufferSize(kLongestRequest);
  QTimer::singleShot(kPeerLifetimeMs, peer, drop);
  connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
  connect(peer, &QLocalSocket::readyRead, peer, [peer, window, drop] {
    if (!peer->canReadLine()) {
      if (peer->bytesAvailable() >= kLongestRequest) drop();
      return;
    }
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

Status InstanceChannel::askToRaise() const {
  const Status unanswered =
      Status::failed("It does not answer, so its window could not be brought to the front.");
  if (name_.isEmpty()) return unanswered;
  // The running one takes the lock before it loads the store and shows its window, and listens
  // only then: a launch at the same moment waits for it.
  const QDeadlineTimer deadline(kListenWaitMs);
  QLocalSocket socket;
  for (;;) {
    const Holder holder = holderOf(name_);
    if (holder == Holder::Other) {
      std::cerr << "allot: " << qPrintable(name_)
                << " is not a socket of this user's, so it was not asked to raise a window.\n";
      return unanswered;
    }
    if (holder == Holder::User) {
      socket.connectToServer(name_);
      if (socket.waitForConnected(kAnswerWaitMs)) break;
      socket.abort();
    }
    if (deadline.hasExpired()) return unanswered;
    QThread::msleep(kRetryMs);
  }
  socket.write(kRequest);
  if (!socket.waitForBytesWritten(kAnswerWaitMs)) return unanswered;
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(kAnswerWaitMs)) return unanswered;
  }
  return socket.readLine() == kAnswer ? Status::ok() : unanswered;
}

}  // namespace allot
