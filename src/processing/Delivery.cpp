#include "processing/Delivery.h"

#include "logs/OperationsLog.h"
#include "platform/AtomicFile.h"
#include "platform/DurableCopy.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "processing/DeliveryJournal.h"

namespace dokivo {

using platform::isUnsetFolder;

namespace {

// "Scan_01.pdf" as the `number`th of its name: "Scan_01 (2).pdf"; a name without an extension
// gets the number at its end.
QString numberedName(const QString& name, int number) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString mark = QStringLiteral(" (%1)").arg(number);
    return dot > 0 ? name.left(dot) + mark + name.mid(dot) : name + mark;
}

// The name the copy of `source` takes in a backup or duplicates folder: a later document never
// replaces an earlier, different one there, but a document filed again (after a failure) replaces
// its own earlier copy rather than adding one. So the first of the name and its numbered forms
// that is free or holds these very bytes. Anything but a regular file at a name (a folder) is not
// passed by: the copy fails there, as a fault of the target folder.
QString nameKeepingEarlierCopies(const QString& folder, const QString& name, const QString& source) {
    for (int number = 1;; ++number) {
        const QString candidate = number == 1 ? name : numberedName(name, number);
        const QString path = folder + candidate;
        if (!platform::regularFileExists(path) || platform::sameContent(source, path))
            return candidate;
    }
}

}  // namespace

Delivery::Delivery(const DeliveryPlan& plan, DeliveryJournal& journal, OperationsLog& operations)
    : plan_(plan), journal_(journal), operations_(operations) {}

Delivery::~Delivery() {
    if (backupWritten_)
        platform::syncFolder(plan_.backupFolder);
}

void Delivery::copyToBackup() {
    if (isUnsetFolder(plan_.backupFolder))
        return;
    const QString name = nameKeepingEarlierCopies(plan_.backupFolder, plan_.destinationName, source());
    platform::PreparedCopy::prepare(source(), plan_.backupFolder + name).commitLeavingFolderUnflushed();
    backupWritten_ = true;
    operations_.add(QStringLiteral(" Copiato ") + source() + QStringLiteral(" nella dir di backup ") +
                    plan_.backupFolder + name);
}

bool Delivery::goesToDuplicates() const {
    return platform::regularFileExists(destination()) && !isUnsetFolder(plan_.duplicatesFolder);
}

void Delivery::copyToDuplicates(JournalEntry pending) {
    const QString name = nameKeepingEarlierCopies(plan_.duplicatesFolder, plan_.destinationName, source());
    // The journal names the copy as it will be called, so that a crash is finished with it.
    pending.target = plan_.duplicatesFolder + name;
    pending.recordFile.clear();
    pending.recordLine.clear();
    journal_.record(pending);
    platform::PreparedCopy::prepare(source(), pending.target).commit();
    // The line names the duplicates folder alone, unless the copy had to take a numbered name.
    const QString shownName = name == plan_.destinationName ? QString() : name;
    operations_.add(QStringLiteral(" Copiato ") + source() +
                    QStringLiteral("  nella dir dei file gia' esistenti ") + plan_.duplicatesFolder +
                    shownName + QStringLiteral(" in quanto gia' esistente ") + destination());
}

void Delivery::copyToDestination(JournalEntry pending) {
    pending.target = destination();
    journal_.record(pending);
    platform::PreparedCopy::prepare(source(), destination()).commit();
    operations_.add(QStringLiteral(" Copiato ") + source() + QStringLiteral("  nella dir di destinazione ") +
                    destination());
}

}  // namespace dokivo
