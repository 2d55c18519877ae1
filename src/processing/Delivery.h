#pragma once

#include <QString>
#include <functional>

namespace dokivo {

class OperationsLog;
class DeliveryJournal;
struct JournalEntry;

// Where one accepted document goes.
struct DeliveryPlan {
    QString inputFolder;
    QString sourceName;
    QString destinationName;
    QString destinationFolder;  // the root with its date levels
    QString backupFolder;       // the separator alone: none
    QString duplicatesFolder;   // the separator alone: none
};

// The name a copy takes in a backup or duplicates folder: a later document never replaces an
// earlier, different one there, but a document filed again (after a failure) replaces its own
// earlier copy rather than adding one. So the first of `name` and its numbered forms
// ("Scan_01 (2).pdf"; a name without an extension gets the number at its end) that `usable`
// accepts: free, or holding these very bytes. Anything but a regular file at a name (a folder)
// is not passed by: the copy fails there, as a fault of the target folder.
QString firstUsableName(const QString& name, const std::function<bool(const QString&)>& usable);

// A document whose destination name is taken goes to the duplicates folder when one is set; else
// it replaces the file of its name.
bool goesToDuplicates(bool destinationTaken, const QString& duplicatesFolder);

// The copies of one document, one call per stage so that the folder pass numbers each: the backup
// copy, then the destination copy, or the duplicates copy when the destination name is taken and
// a duplicates folder is set. In the backup and duplicates folders a name held by a different
// file is kept and the copy takes the first free numbered name ("Scan_01 (2).pdf"); the
// destination copy replaces a file of its name when there is no duplicates folder. Each copy is
// complete on disk before it takes its name; the journal entry (`pending`, whose record line is
// dropped for a duplicate) is written before the last copy starts, so that a crash during that
// copy still tells the next pass which (dated) folder holds its temporary file. Each copy adds its
// " Copiato " line and throws RunError when it fails.
class Delivery {
  public:
    Delivery(const DeliveryPlan& plan, DeliveryJournal& journal, OperationsLog& operations);
    // The backup folder is flushed here, after the last copy: that copy's own data flush then
    // takes the backup's new name to disk in the same journal commit, and the folder flush finds
    // it there. The source may be deleted only once the delivery is gone.
    ~Delivery();
    Delivery(const Delivery&) = delete;
    Delivery& operator=(const Delivery&) = delete;

    void copyToBackup();
    // The destination name is taken and a duplicates folder is set.
    bool goesToDuplicates() const;
    void copyToDuplicates(JournalEntry pending);
    void copyToDestination(JournalEntry pending);

  private:
    QString source() const { return plan_.inputFolder + plan_.sourceName; }
    QString destination() const { return plan_.destinationFolder + plan_.destinationName; }

    const DeliveryPlan& plan_;
    DeliveryJournal& journal_;
    OperationsLog& operations_;
    bool backupWritten_ = false;
};

}  // namespace dokivo
