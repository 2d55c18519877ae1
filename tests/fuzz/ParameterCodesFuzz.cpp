// The parameter text of a slot on any text: the control codes read without failing, and the
// date folders of any "CREA:" layout lie inside the destination root, at most three levels down,
// and exist once they are built.

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "FuzzInput.h"
#include "platform/FileSystem.h"
#include "processing/DateFolders.h"
#include "scan/ControlCodes.h"
#include "scan/SlotContext.h"

using dokivo::fuzz::FuzzInput;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir scratch;
    FuzzInput in(data, size);
    // Any moment from 1970 to about 2106, so every year, month and weekday comes up.
    qint64 seconds = 0;
    for (int i = 0; i < 4; ++i)
        seconds = (seconds << 8) | in.byte();
    const QDateTime created = QDateTime::fromSecsSinceEpoch(seconds);

    dokivo::SlotContext ctx;
    ctx.parameters = in.text();
    dokivo::readControlCodes(ctx);
    FUZZ_CHECK(ctx.abbin == ctx.parameters.contains(QLatin1String("ABBIN:"), Qt::CaseInsensitive));
    FUZZ_CHECK(!ctx.abbin_value.contains(QLatin1Char(';')));
    FUZZ_CHECK(!ctx.dircgd_value.contains(QLatin1Char(';')));

    const QString root = scratch.path() + QStringLiteral("/root/");
    QDir().mkpath(root);
    const QString folder = dokivo::buildDateFolders(ctx.parameters, root, created);
    FUZZ_CHECK(folder.startsWith(root));
    FUZZ_CHECK(folder.endsWith(QLatin1Char('/')));
    const QString below = folder.mid(root.size());
    FUZZ_CHECK(below.count(QLatin1Char('/')) <= 3);
    FUZZ_CHECK(!below.contains(QLatin1String("..")) && !below.contains(QLatin1String("//")));
    FUZZ_CHECK(dokivo::platform::folderExists(folder));
    if (dokivo::layoutCode(ctx.parameters).isEmpty())
        FUZZ_CHECK(folder == root);
    return 0;
}
