// The parameter text of a slot on any text: the control codes read without failing, and the
// date folders of any "CREA:" layout lie inside the destination root, at most three levels down,
// and exist once they are built.

#include <QDir>
#include <QTemporaryDir>

#include "FuzzInput.h"
#include "config/ControlCodes.h"
#include "platform/FileSystem.h"
#include "processing/DateFolders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir scratch;
    dokivo::fuzz::FuzzInput in(data, size);
    const QDateTime created = QDateTime::fromSecsSinceEpoch(in.seconds());

    const QString parameters = in.text();
    const dokivo::ControlCodes codes = dokivo::readControlCodes(parameters);
    FUZZ_CHECK(!codes.abbin_value.contains(QLatin1Char(';')));
    FUZZ_CHECK(!codes.dircgd_value.contains(QLatin1Char(';')));

    const QString root = scratch.path() + QStringLiteral("/root/");
    QDir().mkpath(root);
    const QString folder = dokivo::buildDateFolders(parameters, root, created);
    FUZZ_CHECK(folder.startsWith(root));
    FUZZ_CHECK(folder.endsWith(QLatin1Char('/')));
    const QString below = folder.mid(root.size());
    FUZZ_CHECK(below.count(QLatin1Char('/')) <= 3);
    FUZZ_CHECK(!below.contains(QLatin1String("..")) && !below.contains(QLatin1String("//")));
    FUZZ_CHECK(dokivo::platform::folderExists(folder));
    if (dokivo::layoutCode(parameters).isEmpty())
        FUZZ_CHECK(folder == root);
    return 0;
}
