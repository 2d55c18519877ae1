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

}  // namespace

QString firstUsableName(const QString& name, const std::function<bool(const QString&)>& usable) {
    for (int number = 1;; ++number) {
        const QString candidate = number == 1 ? name : numberedName(name, number);
        if (usable(candidate))
            return candidate;
    }
}

bool goesToDuplicates(bool destinationTaken, const QString& duplicatesFolder) {
    return destinationTaken && !isUnsetFolder(duplicatesFolder);
}

namespace {

// The name the copy of `source` takes in a backup or duplicates folder, as the disk stands.
QString nameKeepingEarlierCopies(const QString& folder, const QString& name, const QString& source) {
    return firstUsableName(name, [&](const QString& candidate) {
        const QString path = folder + candidate;
        return !platform::regularFileExists(path) || platform::sameContent(source, path);
    });
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
    return dokivo::goesToDuplicates(platform::regularFileExists(destination()), plan_.duplicatesFolder);
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
