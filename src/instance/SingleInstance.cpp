#include "instance/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace dokivo {

namespace {
constexpr int kConnectTimeoutMs = 1000;
const QByteArray kActivate = QByteArrayLiteral("activate\n");
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
    QLocalServer::removeServer(key_);
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
    server_.listen(key_);
    return true;
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
