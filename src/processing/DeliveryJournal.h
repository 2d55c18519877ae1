#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <vector>

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
};

// What a crash can leave: temporary copies to remove, documents to finish.
struct JournalContents {
    QStringList temporaries;
    std::vector<JournalEntry> documents;
};

// The journal of the batch being delivered. Each note is appended with one write before the
// step it announces; a note cut short by a crash has no line end and is ignored. A folder pass
// that fails part-way leaves its notes for the next scan pass, and later passes add theirs after
// them.
class DeliveryJournal {
  public:
    explicit DeliveryJournal(QString folder) : path_(std::move(folder) + kJournalFileName) {}

    // Each throws RunError when the note cannot be written: the delivery must not go on without it.
    // Before a temporary copy is created.
    void noteTemporary(const QString& path);
    // Once every copy of a document is written, before any takes its name.
    void noteDocument(const JournalEntry& entry);
    // To disk, with the batch's copies: after a power loss too the next pass finishes what the
    // batch began. Failures are ignored; the copies' own durability does not depend on it.
    void flush();
    // The batch is done: its sources are deleted and its lines written.
    void clear();

    static bool read(const QString& path, JournalContents* contents);

  private:
    void append(const QByteArray& note);

    QString path_;
    QFile file_;
    qint64 floor_ = 0;  // notes below this length belong to an earlier pass that failed
};

// Run at the start of every scan pass: removes the temporary copies a crash left, finishes each
// delivery whose copies had all taken their names (deletes the source when it is still there and
// identical, writes a missing record line, hands the record file over again), then forgets the
// journal. The journal lies in `recordsFolder`.
void recoverInterruptedDelivery(const QString& recordsFolder, OperationsLog& operations);

}  // namespace dokivo
