// The single-instance guard's activation channel when its name in the temporary folder is
// already taken: a socket a killed instance left behind is replaced, anything else is left
// alone and the instance says that a second start cannot reach it.
#include <QSignalSpy>
#include <QUuid>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "UiTestSupport.h"
#include "instance/SingleInstance.h"

using dokivo::SingleInstance;

TEST(SingleInstance, ANameTakenInTheTemporaryFolderIsReclaimedOnlyWhenItIsALeftOverSocket) {
    for (const char* taker : {"stale socket", "folder", "file"}) {
        SCOPED_TRACE(taker);
        const QString key = QStringLiteral("dokivo-test-") + QUuid::createUuid().toString(QUuid::Id128);
        const QString path = QDir::cleanPath(QDir::tempPath()) + QLatin1Char('/') + key;
        const bool reachable = taker == std::string_view("stale socket");
        if (reachable) {  // a bound socket whose process is gone: the file stays, nobody listens
            sockaddr_un addr{AF_UNIX, {}};
            const QByteArray native = QFile::encodeName(path);
            ASSERT_LT(native.size(), qsizetype(sizeof addr.sun_path));
            std::memcpy(addr.sun_path, native.constData(), native.size());
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
            ::close(fd);
        } else {
            QFile file(path);
            ASSERT_TRUE(taker == std::string_view("folder")
                            ? QDir().mkdir(path)
                            : file.open(QIODevice::WriteOnly) && file.write("x") == 1);
        }
        {
            SingleInstance first(key);
            ASSERT_TRUE(first.acquire());
            QSignalSpy activations(&first, &SingleInstance::activationRequested);
            EXPECT_EQ(SingleInstance(key).activateRunning(), reachable);
            if (reachable) {
                EXPECT_EQ(first.activationProblem(), QString());
                EXPECT_TRUE(activations.wait());
            } else {
                EXPECT_TRUE(first.activationProblem().startsWith(" Attivazione non disponibile: " + path))
                    << first.activationProblem().toStdString();
                EXPECT_TRUE(QFileInfo::exists(path)) << "what holds the name is not ours to remove";
            }
        }
        QFile::remove(path + QStringLiteral(".lock"));
        QDir().rmdir(path);
        QFile::remove(path);
    }
}
