// The parameter text of a slot on any text: the control codes read without failing, and the
// date folders of any "CREA:" layout lie inside the destination root, at most three levels down,
// and exist once they are built.

#include <QDir>
#include <QTemporaryDir>

#include "FuzzInput.h"
#include "config/ControlCodes.h"
#include "platform/FileSystem.h"
#include "processing/DateFolders.h"

FUZZ_TARGET {
    static QTemporaryDir scratch;
    const QDateTime created = QDateTime::fromSecsSinceEpoch(in.seconds());
    const QString parameters = in.text();
    const dokivo::ControlCodes codes = dokivo::readControlCodes(parameters);
    FUZZ_CHECK(!codes.abbin_value.contains(';') && !codes.dircgd_value.contains(';'));

    const QString root = scratch.path() + QStringLiteral("/root/");
    QDir().mkpath(root);
    const QString folder = dokivo::buildDateFolders(parameters, root, created);
    FUZZ_CHECK(folder.startsWith(root) && folder.endsWith('/'));
    const QString below = folder.mid(root.size());
    FUZZ_CHECK(below.count('/') <= 3);
    FUZZ_CHECK(!below.contains("..") && !below.contains("//"));
    FUZZ_CHECK(dokivo::platform::folderExists(folder));
    FUZZ_CHECK(!dokivo::layoutCode(parameters).isEmpty() || folder == root);
}
