#include "platform/DurableCopy.h"

#include <QFile>

#include "platform/AtomicFile.h"
#include "platform/RunError.h"
#include "platform/StagedCopy.h"

namespace dokivo::platform {

bool isTemporaryCopyName(const QString& name) {
    return name.startsWith(QLatin1String(".~dokivo"));
}

void copyFileDurably(const QString& source, const QString& target) {
    OpenDocument document(source);
    StagedCopy copy = document.copyTo(target, folderOf(target) + kTemporaryCopyName, true);
    copy.flush();
    copy.commit();
    syncFolder(folderOf(target));
}

bool copyFileDurablyUnlessTaken(const QString& source, const QString& target, quint32 token) {
    OpenDocument document(source);
    StagedCopy copy = document.copyTo(target, folderOf(target) + stagedCopyName(1, token), false);
    copy.flush();
    if (!copy.commitUnlessTaken())
        return false;
    syncFolder(folderOf(target));
    return true;
}

bool sameContent(const QString& a, const QString& b) {
    QFile fa(a);
    QFile fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size())
        return false;
    while (!fa.atEnd()) {
        if (fa.read(1 << 16) != fb.read(1 << 16))
            return false;
    }
    return true;
}

}  // namespace dokivo::platform
