#pragma once

#include <QByteArray>
#include <QFile>
#include <QSet>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

#include "platform/StagedCopy.h"

namespace dokivo {

class OperationsLog;

inline const QString kJournalFileName = QStringLiteral("Dokivo_consegna.journal");

// A document of a batch whose copies are all written and waiting to take their names, so that a
// crash from then on leaves enough behind to finish it exactly once: its source deleted once every
// copy holds its bytes, and its record line written one time.
struct JournalEntry {
    QString source;          // input folder + source name
    QString target;          // the destination (or duplicates) copy
    QString backup;          // the backup copy; "" when the slot makes none
    QString recordFile;      // the pass record file ("" for a duplicate: no record line)
    QString logFolder;       // where the record file is handed over
    qint64 recordBase = -1;  // the record file's length before the batch wrote its lines
    QByteArray recordLine;   // without its line end
    // The document as it was copied: a copy that took its name carries its size and time.
    platform::DocumentState state;
};

// What a crash can leave: temporary copies to remove (named, or any of ours in a folder that
// received them), documents to finish.
struct JournalContents {
    QStringList temporaries;
    std::vector<std::pair<QString, quint32>> copyFolders;  // with the token of their copies' names
    std::vector<JournalEntry> documents;
};

// The journal of a folder pass's deliveries. Each note is appended with one write before the
// step it announces; a note cut short by a crash has no line end and is ignored. The notes of a
// batch stay until the record lines they name are on disk, which the pass's next flush or its
// record file's closing makes sure of. A folder pass that fails part-way leaves its notes for
// the next scan pass, and later passes add theirs after them.
class DeliveryJournal {
  public:
    explicit DeliveryJournal(QString folder) : path_(std::move(folder) + kJournalFileName) {}

    // Each throws RunError when the note cannot be written: the delivery must not go on without it.
    // Before a temporary copy is first created in `folder`: on disk before this returns, so that
    // after a power cut too no temporary copy stays unknown. Once per folder and pass; `token`
    // names the pass's copies, so that recovery leaves another installation's alone.
    void noteCopyFolder(const QString& folder, quint32 token);
    // Once every copy of a document is written, before any takes its name.
    void noteDocument(const JournalEntry& entry);
    // To disk, with the batch's copies: after a power loss too the next pass finishes what the
    // batch began. Failures are ignored; the copies' own durability does not depend on it.
    void flush();
    // The pass is done: its sources are deleted and its record lines on disk.
    void clear();

    static bool read(const QString& path, JournalContents* contents);

  private:
    void append(const QByteArray& note);

    QString path_;
    QFile file_;
    QSet<QString> copyFolders_;  // noted already, folder and token
    qint64 floor_ = 0;           // notes below this length belong to an earlier pass that failed
};

// Run at the start of every scan pass: removes the temporary copies a crash left, finishes each
// delivery whose copies had all taken their names (deletes the source when it is still there and
// identical, writes a missing record line, with the header in a record file a power cut
// emptied, hands the record file over again), then forgets the journal. A different document
// found under a filed one's source name is a new one: it stays for the pass. The journal lies in
// `recordsFolder`.
void recoverInterruptedDelivery(const QString& recordsFolder, OperationsLog& operations);

}  // namespace dokivo
