// The single-instance guard's activation channel when its name in the temporary folder is
// already taken: a socket a killed instance left behind is replaced, anything else is left
// alone and the instance says that a second start cannot reach it.
#include <QScopeGuard>

#include "UiTestSupport.h"
#include "instance/SingleInstance.h"
#include "support/FileSystemFaults.h"

using dokivo::SingleInstance;
using namespace dokivo::test;

TEST(SingleInstance, ANameTakenInTheTemporaryFolderIsReclaimedOnlyWhenItIsALeftOverSocket) {
    TempTree tree;  // the temporary folder the guard uses, one for each taker
    const auto restore = qScopeGuard([tmp = qgetenv("TMPDIR")] { qputenv("TMPDIR", tmp); });
    for (const QString taker : {"stale socket", "folder", "file"}) {
        SCOPED_TRACE(taker.toStdString());
        qputenv("TMPDIR", QFile::encodeName(tree.folder(taker)));
        const QString path = QDir::cleanPath(QDir::tempPath()) + QStringLiteral("/dokivo");
        const bool reachable = taker == "stale socket";  // a socket file nobody listens on any more
        ASSERT_TRUE(reachable           ? makeNode(path, Node::Socket)
                    : taker == "folder" ? QDir().mkdir(path)
                                        : QFile(path).open(QIODevice::WriteOnly));
        SingleInstance first(QStringLiteral("dokivo"));
        ASSERT_TRUE(first.acquire());
        QSignalSpy activations(&first, &SingleInstance::activationRequested);
        EXPECT_EQ(SingleInstance(QStringLiteral("dokivo")).activateRunning(), reachable);
        // Unreachable, it says so and leaves alone what holds the name: that is not ours to remove.
        EXPECT_EQ(first.activationProblem().section(QStringLiteral(" ("), 0, 0),
                  reachable ? QString() : " Attivazione non disponibile: " + path);
        EXPECT_TRUE(reachable ? activations.wait() : QFileInfo::exists(path));
    }
}
