#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "platform/StagedCopy.h"
#include "processing/DeliveryJournal.h"

namespace dokivo {

class DeliveryBatch;

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
// destination copy replaces a file of its name when there is no duplicates folder. The document is
// opened once for all its copies; each is written under a temporary name and staged in the batch,
// which gives it its name and its " Copiato " line when it commits. A name that a copy waiting in
// the batch will take counts as taken, as it would document by document: the batch is committed
// first and the disk decides. Throws RunError (SourceError when the document itself fails).
class Delivery {
  public:
    Delivery(const DeliveryPlan& plan, DeliveryBatch& batch) : plan_(plan), batch_(batch) {}

    void copyToBackup();
    // The destination name is taken and a duplicates folder is set.
    bool goesToDuplicates();
    void copyToDuplicates();
    void copyToDestination();
    // Every copy is staged: the document is filed when they have taken their names. `entry` holds
    // the record file and line (none for a duplicate); the copies' names are filled in here.
    void file(JournalEntry entry, std::optional<QStringList> record);

  private:
    QString source() const { return plan_.inputFolder + plan_.sourceName; }
    QString destination() const { return plan_.destinationFolder + plan_.destinationName; }
    // The name and whether a file holds it already.
    std::pair<QString, bool> nameKeepingEarlierCopies(const QString& folder);
    void stage(const QString& target, bool targetExists, const QString& line);

    const DeliveryPlan& plan_;
    DeliveryBatch& batch_;
    std::optional<platform::OpenDocument> document_;
    QString backup_;  // the backup copy's final path, once staged
    QString target_;  // the destination or duplicates copy's final path
    bool destinationTaken_ = false;
};

}  // namespace dokivo
