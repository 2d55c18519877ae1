// The single-instance guard's activation channel when its name in the temporary folder is
// already taken: a socket a killed instance left behind is replaced, anything else is left
// alone and the instance says that a second start cannot reach it.

#include <gtest/gtest.h>

#include <QDir>
#include <QSignalSpy>
#include <QUuid>
#include <functional>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "instance/SingleInstance.h"

using dokivo::SingleInstance;

namespace {

// A bound socket whose process is gone: the file stays, nobody listens.
bool leaveStaleSocket(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (native.size() >= qsizetype(sizeof addr.sun_path))
        return false;
    std::memcpy(addr.sun_path, native.constData(), native.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return bound;
}

}  // namespace

TEST(SingleInstance, ANameTakenInTheTemporaryFolderIsReclaimedOnlyWhenItIsALeftOverSocket) {
    const struct {
        const char* what;
        std::function<bool(const QString&)> take;
        bool reachable;
    } cases[] = {
        {"stale socket", leaveStaleSocket, true},
        {"folder", [](const QString& path) { return QDir().mkdir(path); }, false},
        {"file",
         [](const QString& path) {
             QFile file(path);
             return file.open(QIODevice::WriteOnly) && file.write("not ours") == 8;
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString key = QStringLiteral("dokivo-test-") + QUuid::createUuid().toString(QUuid::Id128);
        const QString path = QDir::cleanPath(QDir::tempPath()) + QLatin1Char('/') + key;
        ASSERT_TRUE(c.take(path));
        {
            SingleInstance first(key);
            ASSERT_TRUE(first.acquire());
            QSignalSpy activations(&first, &SingleInstance::activationRequested);
            if (c.reachable) {
                EXPECT_EQ(first.activationProblem(), QString());
                EXPECT_TRUE(SingleInstance(key).activateRunning());
                EXPECT_TRUE(activations.wait());
            } else {
                EXPECT_TRUE(first.activationProblem().startsWith(" Attivazione non disponibile: " + path))
                    << first.activationProblem().toStdString();
                EXPECT_FALSE(SingleInstance(key).activateRunning());
                EXPECT_TRUE(QFileInfo::exists(path)) << "what holds the name is not ours to remove";
            }
        }
        QFile::remove(path + QStringLiteral(".lock"));
        QDir().rmdir(path);
        QFile::remove(path);
    }
}
