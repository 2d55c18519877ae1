#include "processing/DeliveryJournal.h"

#include "logs/OperationsLog.h"
#include "platform/AtomicFile.h"
#include "platform/DurableCopy.h"
#include "platform/FileSystem.h"
#include "platform/RunError.h"
#include "processing/RecordFile.h"

namespace dokivo {

namespace {

const QByteArray kEnd = QByteArrayLiteral("END");

QByteArray serialize(const JournalEntry& e) {
    QByteArray out;
    for (const QString& field : {e.source, e.target, e.recordFile, e.logFolder})
        out += field.toUtf8() + '\n';
    out += e.recordLine + '\n' + kEnd + '\n';
    return out;
}

// Appends the record line to the record file unless it is its last line already; a line a
// crash cut in half is dropped first.
void ensureRecordLine(const QString& path, const QByteArray& line) {
    QFile file;
    if (!platform::openRegularFile(file, path, QIODevice::ReadWrite))
        return;
    const QByteArray content = file.readAll();
    const QByteArray full = line + "\r\n";
    if (content.endsWith(full))
        return;
    const qsizetype keep = content.lastIndexOf("\r\n");
    file.resize(keep < 0 ? 0 : keep + 2);
    file.seek(file.size());
    file.write(full);
}

}  // namespace

void DeliveryJournal::record(const JournalEntry& entry) {
    if (!file_.isOpen() &&
        !platform::openRegularFile(file_, path_, QIODevice::ReadWrite | QIODevice::Unbuffered))
        throw platform::RunError(platform::errnum::PermissionDenied, path_);
    // One write of the whole entry, then the length: an entry cut short by a crash has no END
    // and is ignored.
    const QByteArray bytes = serialize(entry);
    if (!file_.seek(0) || file_.write(bytes) != bytes.size() || !file_.resize(bytes.size()))
        throw platform::RunError(platform::errnum::DeviceIo, path_);
}

void DeliveryJournal::clear() {
    if (file_.isOpen())
        file_.resize(0);
}

bool DeliveryJournal::read(const QString& path, JournalEntry* entry) {
    QFile file;
    if (!platform::openRegularFile(file, path, QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> lines = file.readAll().split('\n');
    if (lines.size() < 6 || lines[5] != kEnd)
        return false;
    entry->source = QString::fromUtf8(lines[0]);
    entry->target = QString::fromUtf8(lines[1]);
    entry->recordFile = QString::fromUtf8(lines[2]);
    entry->logFolder = QString::fromUtf8(lines[3]);
    entry->recordLine = lines[4];
    return true;
}

void recoverInterruptedDelivery(const QString& recordsFolder, OperationsLog& operations) {
    const QString path = recordsFolder + kJournalFileName;
    JournalEntry e;
    if (DeliveryJournal::read(path, &e)) {
        // The pass removes leftovers only in the folders it knows from the settings, not in the
        // dated folder below the destination root that the interrupted copy may have written to.
        if (!e.target.isEmpty())
            QFile::remove(platform::folderOf(e.target) + platform::kTemporaryCopyName);
        const bool sourceThere = platform::regularFileExists(e.source);
        // The copy took its name when the source is gone (it is deleted only afterwards) or
        // when the target holds exactly the source's bytes.
        const bool delivered = platform::regularFileExists(e.target) &&
                               (!sourceThere || platform::sameContent(e.source, e.target));
        if (delivered) {
            try {
                if (sourceThere) {
                    platform::removeFile(e.source);
                    operations.add(QStringLiteral(" File elaborato : ") + e.source);
                }
                if (!e.recordFile.isEmpty()) {
                    ensureRecordLine(e.recordFile, e.recordLine);
                    RecordFile::handOverPath(e.recordFile, e.logFolder);
                }
            } catch (const platform::RunError&) {
                return;  // keep the entry: the next pass tries again
            }
        }
    }
    QFile::remove(path);
}

}  // namespace dokivo
