// The single-instance guard's activation channel when its name in the temporary folder is
// already taken: a socket a killed instance left behind is replaced, anything else is left
// alone and the instance says that a second start cannot reach it.
#include <QSignalSpy>
#include <QUuid>

#include "UiTestSupport.h"
#include "instance/SingleInstance.h"
#include "support/FileSystemFaults.h"

using dokivo::SingleInstance;
using namespace dokivo::test;

TEST(SingleInstance, ANameTakenInTheTemporaryFolderIsReclaimedOnlyWhenItIsALeftOverSocket) {
    for (const std::string_view taker : {"stale socket", "folder", "file"}) {
        SCOPED_TRACE(taker);
        const QString key = QStringLiteral("dokivo-test-") + QUuid::createUuid().toString(QUuid::Id128);
        const QString path = QDir::cleanPath(QDir::tempPath()) + QLatin1Char('/') + key;
        const bool reachable = taker == "stale socket";  // a socket file nobody listens on any more
        ASSERT_TRUE(reachable           ? makeNode(path, Node::Socket)
                    : taker == "folder" ? QDir().mkdir(path)
                                        : QFile(path).open(QIODevice::WriteOnly));
        {
            SingleInstance first(key);
            ASSERT_TRUE(first.acquire());
            QSignalSpy activations(&first, &SingleInstance::activationRequested);
            EXPECT_EQ(SingleInstance(key).activateRunning(), reachable);
            // Unreachable, it says so and leaves alone what holds the name: that is not ours to remove.
            EXPECT_EQ(first.activationProblem().section(QStringLiteral(" ("), 0, 0),
                      reachable ? QString() : " Attivazione non disponibile: " + path);
            EXPECT_TRUE(reachable ? activations.wait() : QFileInfo::exists(path));
        }
        QFile::remove(path + QStringLiteral(".lock"));
        QDir().rmdir(path);
        QFile::remove(path);
    }
}
