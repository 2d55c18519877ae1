#include "instance/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dokivo {

namespace {

constexpr int kConnectTimeoutMs = 1000;
const QByteArray kActivate = QByteArrayLiteral("activate\n");

// Where the local server's name lives: a socket file in the temporary folder, or on Windows a
// named pipe, which ends with its process and so is never left behind.
QString socketPath(const QString& key) {
#ifdef Q_OS_WIN
    return QStringLiteral("\\\\.\\pipe\\") + key;
#else
    return key.startsWith(QLatin1Char('/')) ? key
                                            : QDir::cleanPath(QDir::tempPath()) + QLatin1Char('/') + key;
#endif
}

// Removes the name when it is a socket: with the lock held no other instance runs, so it was
// left by one that was killed. A folder or file of that name is not ours and stays.
bool removeStaleSocket(const QString& key) {
#ifndef Q_OS_WIN
    const QByteArray path = QFile::encodeName(socketPath(key));
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0 && S_ISSOCK(st.st_mode) && ::unlink(path.constData()) == 0;
#else
    Q_UNUSED(key);
    return false;
#endif
}

}  // namespace

QString SingleInstance::defaultKey() {
    const QByteArray custom = qgetenv("DOKIVO_INSTANCE_KEY");
    if (!custom.isEmpty())
        return QString::fromLocal8Bit(custom);
    QByteArray user = qgetenv("USER");
    if (user.isEmpty())
        user = qgetenv("USERNAME");
    return QStringLiteral("Dokivo-") + QString::fromLocal8Bit(user);
}

SingleInstance::SingleInstance(QString key, QObject* parent)
    : QObject(parent),
      key_(std::move(key)),
      lockPath_(QDir::tempPath() + QLatin1Char('/') + key_ + QStringLiteral(".lock"))
#ifdef Q_OS_WIN
      ,
      lock_(lockPath_)
#endif
{
#ifdef Q_OS_WIN
    lock_.setStaleLockTime(0);  // stale only when its process is gone, never because it is old
#endif
}

SingleInstance::~SingleInstance() {
#ifndef Q_OS_WIN
    if (lockFd_ >= 0)
        ::close(lockFd_);
#endif
}

bool SingleInstance::acquire() {
#ifdef Q_OS_WIN
    if (!lock_.tryLock(0))
        return false;
#else
    lockFd_ = ::open(QFile::encodeName(lockPath_).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ < 0)
        return false;  // two passes over the same folders must never meet
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(lockFd_);
        lockFd_ = -1;
        return false;
    }
#endif
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains("activate"))
                    Q_EMIT activationRequested();
                socket->disconnectFromServer();
            });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    listenForActivation();
    return true;
}

void SingleInstance::listenForActivation() {
    if (server_.listen(key_))
        return;
    if (removeStaleSocket(key_) && server_.listen(key_))
        return;
    // The program runs all the same; only a second start cannot bring this window forward.
    activationProblem_ = QStringLiteral(" Attivazione non disponibile: ") + socketPath(key_) +
                         QStringLiteral(" (") + server_.errorString() +
                         QStringLiteral("), un secondo avvio non riportera' in primo piano questa finestra");
}

bool SingleInstance::activateRunning() {
    QLocalSocket socket;
    socket.connectToServer(key_);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    socket.write(kActivate);
    const bool sent = socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    return sent;
}

}  // namespace dokivo
