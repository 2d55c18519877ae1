#include "processing/Delivery.h"

#include "app/MainModule.h"
#include "platform/AtomicFile.h"
#include "platform/DurableCopy.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "processing/DeliveryJournal.h"

namespace dokivo {

using platform::isUnsetFolder;

namespace {

// Flushes a folder when it goes out of scope, on success and on failure alike.
class FolderFlushAtExit {
  public:
    FolderFlushAtExit() = default;
    FolderFlushAtExit(const FolderFlushAtExit&) = delete;
    FolderFlushAtExit& operator=(const FolderFlushAtExit&) = delete;
    ~FolderFlushAtExit() {
        if (!folder_.isEmpty())
            platform::syncFolder(folder_);
    }
    void set(const QString& folder) { folder_ = folder; }

  private:
    QString folder_;
};

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

bool deliverCopies(MainModule& module, const DeliveryPlan& plan, DeliveryJournal& journal,
                   JournalEntry pending, int& step) {
    const QString source = plan.inputFolder + plan.sourceName;

    step = 27;
    // The backup folder is flushed on the way out, after the last copy: that copy's own data
    // flush then takes the backup's new name to disk in the same journal commit, and the folder
    // flush finds it there. The caller deletes the source only after this returns.
    FolderFlushAtExit backupFolderFlush;
    if (!isUnsetFolder(plan.backupFolder)) {
        const QString name = nameKeepingEarlierCopies(plan.backupFolder, plan.destinationName, source);
        platform::PreparedCopy::prepare(source, plan.backupFolder + name).commitLeavingFolderUnflushed();
        backupFolderFlush.set(plan.backupFolder);
        module.addLine(QStringLiteral(" Copiato ") + plan.inputFolder + plan.sourceName +
                       QStringLiteral(" nella dir di backup ") + plan.backupFolder + name);
    }

    step = 28;
    const QString destination = plan.destinationFolder + plan.destinationName;
    const bool duplicate = platform::regularFileExists(destination) && !isUnsetFolder(plan.duplicatesFolder);
    if (duplicate) {
        step = 29;
        const QString name = nameKeepingEarlierCopies(plan.duplicatesFolder, plan.destinationName, source);
        // The journal names the copy as it will be called, so that a crash is finished with it.
        pending.target = plan.duplicatesFolder + name;
        pending.recordFile.clear();
        pending.recordLine.clear();
        journal.record(pending);
        platform::PreparedCopy::prepare(source, pending.target).commit();
        step = 30;
        // The line names the duplicates folder alone, unless the copy had to take a numbered name.
        const QString shownName = name == plan.destinationName ? QString() : name;
        module.addLine(QStringLiteral(" Copiato ") + plan.inputFolder + plan.sourceName +
                       QStringLiteral("  nella dir dei file gia' esistenti ") + plan.duplicatesFolder +
                       shownName + QStringLiteral(" in quanto gia' esistente ") + destination);
        return true;
    }

    pending.target = destination;
    journal.record(pending);
    platform::PreparedCopy::prepare(source, destination).commit();
    module.addLine(QStringLiteral(" Copiato ") + plan.inputFolder + plan.sourceName +
                   QStringLiteral("  nella dir di destinazione ") + destination);
    return false;
}

}  // namespace dokivo
