#include "processing/DeliveryJournal.h"

#include <QDir>
#include <QHash>
#include <QSet>
#include <memory>

#include "logs/OperationsLog.h"
#include "platform/AtomicFile.h"
#include "platform/DurableCopy.h"
#include "platform/FileSystem.h"
#include "platform/RunError.h"
#include "processing/RecordFile.h"

namespace dokivo {

namespace {

const QByteArray kEnd = QByteArrayLiteral("END");
const QByteArray kTemporaryNote = QByteArrayLiteral("T");  // written by an earlier version
const QByteArray kCopyFolderNote = QByteArrayLiteral("F");
const QByteArray kDocumentNote = QByteArrayLiteral("D");

QByteArray field(const QString& text) {
    return text.toUtf8().toPercentEncoding();
}

QString text(const QByteArray& field) {
    return QString::fromUtf8(QByteArray::fromPercentEncoding(field));
}

// The single entry an earlier version wrote (five lines and END): its backup copy had taken its
// name before the entry was written, and its record line was the record file's last.
qsizetype readEarlierEntry(const QList<QByteArray>& lines, JournalContents* contents) {
    if (lines.size() < 6 || lines[5] != kEnd)
        return 0;
    JournalEntry e;
    e.source = QString::fromUtf8(lines[0]);
    e.target = QString::fromUtf8(lines[1]);
    e.recordFile = QString::fromUtf8(lines[2]);
    e.logFolder = QString::fromUtf8(lines[3]);
    e.recordLine = lines[4];
    contents->documents.push_back(e);
    return 6;
}

// The record files recovery completes: each read once, its lines matched to the journal's
// documents one by one, so that a line is written only where it is missing and never twice.
class RecordRepair {
  public:
    explicit RecordRepair(const QString& path) {
        if (!platform::openRegularFile(file_, path, QIODevice::ReadWrite))
            return;
        content_ = file_.readAll();
        // A line a crash cut in half is dropped.
        const qsizetype keep = content_.lastIndexOf("\r\n");
        content_.truncate(keep < 0 ? 0 : keep + 2);
        file_.resize(content_.size());
    }

    void ensure(const QByteArray& line, qint64 base) {
        if (!file_.isOpen())
            return;
        // A power cut before the first flush leaves the file empty: its header comes first again.
        if (content_.isEmpty())
            append(RecordFile::lineBytes(RecordFile::headerFields()));
        const QByteArray full = line + "\r\n";
        if (base < 0) {  // an entry of the earlier kind
            if (!content_.endsWith(full))
                append(full);
            return;
        }
        for (qsizetype at = std::min<qsizetype>(base, content_.size()); at < content_.size();) {
            const qsizetype end = content_.indexOf("\r\n", at);
            if (end < 0)
                break;
            if (!matched_.contains(at) && end - at == line.size() && content_.mid(at, line.size()) == line) {
                matched_.insert(at);
                return;
            }
            at = end + 2;
        }
        matched_.insert(content_.size());
        append(full);
    }

  private:
    void append(const QByteArray& full) {
        file_.seek(content_.size());
        if (file_.write(full) != full.size())
            throw platform::RunError(platform::errnum::DeviceIo, file_.fileName());
        content_ += full;
    }

    QFile file_;
    QByteArray content_;
    QSet<qint64> matched_;  // where the lines already accounted for begin
};

// Whether every copy of the document holds its bytes, so that deleting its source loses nothing.
// A source that is gone was deleted after its copies took their names.
bool delivered(const JournalEntry& e, bool sourceThere) {
    const auto holds = [&](const QString& copy) {
        return platform::regularFileExists(copy) && (!sourceThere || platform::sameContent(e.source, copy));
    };
    if (!sourceThere)
        return platform::regularFileExists(e.target);
    return holds(e.target) && (e.backup.isEmpty() || holds(e.backup));
}

// Whether a different document now stands under the source name of one whose copies all took
// their names (they carry its size and time): the noted document was filed, the new one waits.
bool filedBeforeANewSource(const JournalEntry& e) {
    const auto carries = [&](const QString& copy) { return platform::documentState(copy) == e.state; };
    return e.state.size >= 0 && platform::documentState(e.source) != e.state && carries(e.target) &&
           (e.backup.isEmpty() || carries(e.backup));
}

// Every temporary copy the pass of `token` made in `folder`; the folder's documents, and the
// copies another installation is making there, are left alone.
void removeTemporaryCopies(const QString& folder, quint32 token) {
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList({platform::stagedCopyPattern(token)}, QDir::Files | QDir::Hidden))
        QFile::remove(dir.filePath(name));
}

}  // namespace

void DeliveryJournal::append(const QByteArray& note) {
    if (!file_.isOpen()) {
        if (!platform::openRegularFile(file_, path_, QIODevice::ReadWrite | QIODevice::Unbuffered))
            throw platform::RunError(platform::errnum::PermissionDenied, path_);
        floor_ = file_.size();
        file_.seek(floor_);
    }
    if (file_.write(note) != note.size())
        throw platform::RunError(platform::errnum::DeviceIo, path_);
}

void DeliveryJournal::noteCopyFolder(const QString& folder, quint32 token) {
    const QByteArray note = kCopyFolderNote + '\t' + field(folder) + '\t' + QByteArray::number(token) + '\n';
    if (copyFolders_.contains(QString::fromUtf8(note)))
        return;
    append(note);
    flush();
    copyFolders_ << QString::fromUtf8(note);
}

void DeliveryJournal::noteDocument(const JournalEntry& e) {
    append(kDocumentNote + '\t' + field(e.source) + '\t' + field(e.target) + '\t' + field(e.backup) + '\t' +
           field(e.recordFile) + '\t' + field(e.logFolder) + '\t' + QByteArray::number(e.recordBase) + '\t' +
           e.recordLine.toPercentEncoding() + '\t' + QByteArray::number(e.state.size) + '\t' +
           QByteArray::number(e.state.modified) + '\n');
}

void DeliveryJournal::flush() {
    if (file_.isOpen())
        platform::syncFile(file_);
}

void DeliveryJournal::clear() {
    if (file_.isOpen() && file_.size() > floor_) {
        file_.resize(floor_);
        file_.seek(floor_);
    }
    copyFolders_.clear();
}

bool DeliveryJournal::read(const QString& path, JournalContents* contents) {
    QFile file;
    if (!platform::openRegularFile(file, path, QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> lines = file.readAll().split('\n');
    // The last piece has no line end: empty, or a note a crash cut short.
    for (qsizetype i = readEarlierEntry(lines, contents); i + 1 < lines.size(); ++i) {
        const QList<QByteArray> f = lines[i].split('\t');
        if (f.size() == 2 && f[0] == kTemporaryNote) {
            contents->temporaries << text(f[1]);
        } else if ((f.size() == 2 || f.size() == 3) && f[0] == kCopyFolderNote) {
            contents->copyFolders.emplace_back(text(f[1]), f.size() == 3 ? f[2].toUInt() : 0);
        } else if ((f.size() == 8 || f.size() == 10) && f[0] == kDocumentNote) {
            // An earlier version noted no state: its entries are finished from the source alone.
            const platform::DocumentState state =
                f.size() == 10 ? platform::DocumentState{f[8].toLongLong(), f[9].toLongLong()}
                               : platform::DocumentState{};
            contents->documents.push_back({text(f[1]), text(f[2]), text(f[3]), text(f[4]), text(f[5]),
                                           f[6].toLongLong(), QByteArray::fromPercentEncoding(f[7]), state});
        }
    }
    return true;
}

void recoverInterruptedDelivery(const QString& recordsFolder, OperationsLog& operations) {
    const QString path = recordsFolder + kJournalFileName;
    JournalContents journal;
    if (!DeliveryJournal::read(path, &journal)) {
        QFile::remove(path);  // anything but a regular file in its place goes
        return;
    }
    for (const QString& temporary : journal.temporaries)
        QFile::remove(temporary);
    for (const auto& [folder, token] : journal.copyFolders)
        removeTemporaryCopies(folder, token);
    // An earlier version's single copy wrote to one fixed temporary name.
    for (const JournalEntry& e : journal.documents)
        if (e.recordBase < 0 && !e.target.isEmpty())
            QFile::remove(platform::folderOf(e.target) + platform::kTemporaryCopyName);

    bool unfinished = false;
    QHash<QString, std::shared_ptr<RecordRepair>> records;
    for (const JournalEntry& e : journal.documents) {
        const bool sourceThere = platform::regularFileExists(e.source);
        const bool newSource = sourceThere && filedBeforeANewSource(e);
        if (!newSource && !delivered(e, sourceThere))
            continue;  // the source stays for the next pass
        try {
            if (sourceThere && !newSource) {
                // The new names must be on disk before the only other copy goes.
                platform::syncFolder(platform::folderOf(e.target));
                if (!e.backup.isEmpty())
                    platform::syncFolder(platform::folderOf(e.backup));
                platform::removeFile(e.source);
                operations.add(QStringLiteral(" File elaborato : ") + e.source);
            }
            if (!e.recordFile.isEmpty()) {
                auto& repair = records[e.recordFile];
                if (!repair)
                    repair = std::make_shared<RecordRepair>(e.recordFile);
                repair->ensure(e.recordLine, e.recordBase);
            }
        } catch (const platform::RunError&) {
            unfinished = true;  // keep the journal: the next pass tries again
        }
    }
    {
        // Each log folder named in the journal before its copy, as a pass does.
        DeliveryJournal handOvers(recordsFolder);
        const quint32 token = platform::newCopyToken();
        for (const JournalEntry& e : journal.documents)
            if (records.contains(e.recordFile)) {
                records.remove(e.recordFile);  // closed before it is copied
                platform::ignoringFailures([&] { handOvers.noteCopyFolder(e.logFolder, token); });
                RecordFile::handOverPath(e.recordFile, e.logFolder, token);
            }
    }  // closed first: Windows removes no open file
    if (!unfinished)
        QFile::remove(path);
}

}  // namespace dokivo
