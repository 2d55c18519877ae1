#include "instance/SingleInstance.h"

#include <QDir>
#include <QLocalSocket>

#include "platform/LocalServerName.h"

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
      lockPath_(QDir::tempPath() + QLatin1Char('/') + key_ + QStringLiteral(".lock")),
      lock_(lockPath_) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire() {
    if (!lock_.tryLock())
        return false;  // two passes over the same folders must never meet
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
    // With the lock held no other instance runs: a name left behind is a killed one's.
    if (platform::removeLeftoverLocalServer(key_) && server_.listen(key_))
        return;
    // The program runs all the same; only a second start cannot bring this window forward.
    activationProblem_ = QStringLiteral(" Attivazione non disponibile: ") + platform::localServerPath(key_) +
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
