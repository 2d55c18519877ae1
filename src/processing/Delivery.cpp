#include "processing/Delivery.h"

#include "platform/AtomicFile.h"
#include "platform/DurableCopy.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "processing/DeliveryBatch.h"

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

// The name the copy takes in a backup or duplicates folder, as the disk stands once the batch has
// given its copies their names.
std::pair<QString, bool> Delivery::nameKeepingEarlierCopies(const QString& folder) {
    for (;;) {
        bool claimed = false;
        bool exists = false;
        const QString name = firstUsableName(plan_.destinationName, [&](const QString& candidate) {
            const QString path = folder + candidate;
            if (batch_.claims(path)) {
                claimed = true;
                return true;
            }
            exists = platform::regularFileExists(path);
            return !exists || platform::sameContent(source(), path);
        });
        if (!claimed)
            return {name, exists};
        batch_.commit();
    }
}

void Delivery::stage(const QString& target, bool targetExists, const QString& line) {
    if (!document_)
        document_.emplace(source());
    platform::StagedCopy copy =
        document_->copyTo(target, batch_.temporaryIn(platform::folderOf(target)), targetExists);
    batch_.addCopy(std::move(copy), line, document_->state().size);
}

void Delivery::copyToBackup() {
    if (isUnsetFolder(plan_.backupFolder))
        return;
    const auto [name, exists] = nameKeepingEarlierCopies(plan_.backupFolder);
    backup_ = plan_.backupFolder + name;
    stage(backup_, exists,
          QStringLiteral(" Copiato ") + source() + QStringLiteral(" nella dir di backup ") + backup_);
}

bool Delivery::goesToDuplicates() {
    if (batch_.claims(destination()))
        batch_.commit();
    destinationTaken_ = platform::regularFileExists(destination());
    return dokivo::goesToDuplicates(destinationTaken_, plan_.duplicatesFolder);
}

void Delivery::copyToDuplicates() {
    const auto [name, exists] = nameKeepingEarlierCopies(plan_.duplicatesFolder);
    target_ = plan_.duplicatesFolder + name;
    // The line names the duplicates folder alone, unless the copy had to take a numbered name.
    const QString shownName = name == plan_.destinationName ? QString() : name;
    stage(target_, exists,
          QStringLiteral(" Copiato ") + source() + QStringLiteral("  nella dir dei file gia' esistenti ") +
              plan_.duplicatesFolder + shownName + QStringLiteral(" in quanto gia' esistente ") +
              destination());
}

void Delivery::copyToDestination() {
    target_ = destination();
    stage(target_, destinationTaken_,
          QStringLiteral(" Copiato ") + source() + QStringLiteral("  nella dir di destinazione ") + target_);
}

void Delivery::file(JournalEntry entry, std::optional<QStringList> record) {
    entry.source = source();
    entry.target = target_;
    entry.backup = backup_;
    entry.state = document_->state();
    batch_.addFiled({source(), document_->state(), std::move(record)}, entry);
}

}  // namespace dokivo
