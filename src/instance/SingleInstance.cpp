#include "instance/SingleInstance.h"

#include <QDir>
#include <QLocalSocket>

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
      lock_(QDir::tempPath() + QLatin1Char('/') + key_ + QStringLiteral(".lock")) {
    // A lock is stale only when its process is gone, never because it is old.
    lock_.setStaleLockTime(0);
}

bool SingleInstance::acquire() {
    if (!lock_.tryLock(0))
        return false;
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
