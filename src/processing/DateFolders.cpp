#include "processing/DateFolders.h"

#include <QStringList>

#include "config/ControlCodes.h"
#include "platform/AtomicFile.h"
#include "platform/DateText.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace dokivo {

using platform::DatePattern;
using platform::formatDate;

QString layoutCode(const QString& parameters, bool* found) {
    return codeValue(parameters, QStringLiteral("CREA:"), found);
}

const QStringList& knownLayoutCodes() {
    static const QStringList codes{QStringLiteral("AA/MM/GG"), QStringLiteral("MM/GG"),
                                   QStringLiteral("AA/GGG"),   QStringLiteral("GGG"),
                                   QStringLiteral("MM"),       QStringLiteral("AA/MM")};
    return codes;
}

namespace {

// The date levels of each layout, outermost first; one branch for each of knownLayoutCodes().
QStringList levelsFor(const QString& code, const QDateTime& created) {
    const QString yy = formatDate(created, DatePattern::YY);
    const QString mm = formatDate(created, DatePattern::MM);
    const QString dd = formatDate(created, DatePattern::DD);
    if (code == QLatin1String("AA/MM/GG"))
        return {yy, mm, dd};
    if (code == QLatin1String("MM/GG"))
        return {mm, dd};
    if (code == QLatin1String("AA/GGG") || code == QLatin1String("GGG"))
        return {yy, formatDate(created, DatePattern::DDD)};
    if (code == QLatin1String("MM"))
        return {mm};
    if (code == QLatin1String("AA/MM"))
        return {yy, mm};
    return {};
}

}  // namespace

QString dateFolderPath(const QString& parameters, const QString& root, const QDateTime& created) {
    QString folder = root;
    for (const QString& level : levelsFor(layoutCode(parameters), created))
        folder += level + platform::separatorChar();
    return folder;
}

QString DateFolderMaker::build(const QString& parameters, const QString& root, const QDateTime& created) {
    QString folder = root;
    for (const QString& level : levelsFor(layoutCode(parameters), created)) {
        folder += level;
        // Already there, or not creatable: the copy into it reports the latter. A level made here is
        // flushed into the folder above at once, before any source filed into it goes: the batch
        // flushes the folder its copies went to, not the ones above.
        if (!tried_.contains(folder)) {
            if (platform::tryCreateFolder(folder))
                platform::syncFolder(platform::folderOf(folder));
            tried_.insert(folder);
        }
        folder += platform::separatorChar();
    }
    return folder;
}

QString buildDateFolders(const QString& parameters, const QString& root, const QDateTime& created) {
    return DateFolderMaker().build(parameters, root, created);
}

}  // namespace dokivo
