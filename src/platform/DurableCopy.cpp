#include "platform/DurableCopy.h"

#include <QFile>

#include "platform/AtomicFile.h"
#include "platform/RunError.h"

namespace dokivo::platform {

bool isTemporaryCopyName(const QString& name) {
    return name.startsWith(QLatin1String(".~dokivo"));
}

PreparedCopy::PreparedCopy(PreparedCopy&& other) noexcept
    : temporary_(std::move(other.temporary_)), target_(std::move(other.target_)), pending_(other.pending_) {
    other.pending_ = false;
}

PreparedCopy::~PreparedCopy() {
    if (pending_)
        QFile::remove(temporary_);
}

void copyFileDurably(const QString& source, const QString& target) {
    PreparedCopy::prepare(source, target).commit();
}

void PreparedCopy::commit() {
    commitLeavingFolderUnflushed();
    syncFolder(folderOf(target_));
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
