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
        platform::PreparedCopy::prepare(source, plan.backupFolder + plan.destinationName)
            .commitLeavingFolderUnflushed();
        backupFolderFlush.set(plan.backupFolder);
        module.addLine(QStringLiteral(" Copiato ") + plan.inputFolder + plan.sourceName +
                       QStringLiteral(" nella dir di backup ") + plan.backupFolder + plan.destinationName);
    }

    step = 28;
    const QString destination = plan.destinationFolder + plan.destinationName;
    const bool duplicate = platform::regularFileExists(destination) && !isUnsetFolder(plan.duplicatesFolder);
    if (duplicate) {
        step = 29;
        const QString target = plan.duplicatesFolder + plan.destinationName;
        pending.target = target;
        pending.recordFile.clear();
        pending.recordLine.clear();
        journal.record(pending);
        platform::PreparedCopy::prepare(source, target).commit();
        step = 30;
        module.addLine(QStringLiteral(" Copiato ") + plan.inputFolder + plan.sourceName +
                       QStringLiteral("  nella dir dei file gia' esistenti ") + plan.duplicatesFolder +
                       QStringLiteral(" in quanto gia' esistente ") + destination);
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
