#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace dokivo {

class OperationsLog;

inline const QString kJournalFileName = QStringLiteral("Dokivo_consegna.journal");

// What a delivery is about to do, written down just before its final copy starts, so
// that a crash between that moment and the record line leaves enough behind to finish the
// document exactly once: its source deleted and its record line written one time.
struct JournalEntry {
    QString source;         // input folder + source name
    QString target;         // the destination (or duplicates) copy
    QString recordFile;     // the pass record file ("" for a duplicate: no record line)
    QString logFolder;      // where the record file is handed over
    QByteArray recordLine;  // without its line end
};

class DeliveryJournal {
  public:
    explicit DeliveryJournal(QString folder) : path_(std::move(folder) + kJournalFileName) {}

    // Throws RunError when the entry cannot be written: the delivery must not go on without it.
    void record(const JournalEntry& entry);
    void clear();

    static bool read(const QString& path, JournalEntry* entry);

  private:
    QString path_;
    QFile file_;
};

// Run at the start of every scan pass: finishes the delivery a crash interrupted after its copy
// had taken its final name (deletes the source when it is still there and identical, writes a
// missing record line, hands the record file over again), then forgets the entry. The journal
// lies in `recordsFolder`.
void recoverInterruptedDelivery(const QString& recordsFolder, OperationsLog& operations);

}  // namespace dokivo
