#include "scan/ScanDriver.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/RunError.h"
#include "processing/DeliveryJournal.h"
#include "processing/FolderPass.h"
#include "processing/LineBreakingNames.h"
#include "scan/ScanHost.h"
#include "scan/ScanModule.h"
#include "scan/SlotWalk.h"

namespace dokivo {

namespace {

class PassGuard {
  public:
    explicit PassGuard(ScanModule& module) : module_(module) { module_.pass_running = true; }
    ~PassGuard() { module_.pass_running = false; }
    PassGuard(const PassGuard&) = delete;
    PassGuard& operator=(const PassGuard&) = delete;

  private:
    ScanModule& module_;
};

void visitSubfolders(ScanModule& module, int slot) {
    const SlotSettings& ss = module.settings.slots[slot];
    const std::vector<QString> subfolders = platform::listSubfolders(module.slot.folder);
    for (const QString& name : subfolders) {
        // Its name would break the lines of every document filed from it.
        if (breaksRecordLines(name)) {
            module.addLineAndRefresh(
                QStringLiteral(" Sotto Cartella non letta: il nome contiene una tabulazione o un a capo : ") +
                ss.dir_in + withLineBreaksShown(name));
            continue;
        }
        module.addLineAndRefresh(QStringLiteral(" lettura Sotto Cartella ") + name);
        enterSubfolder(ss, name, module.slot);
        runFolderPass(module.passEnvironment());
    }
}

}  // namespace

void runScanPass(ScanModule& module) {
    if (module.pass_running)
        return;
    PassGuard guard(module);
    int step = 0;  // not yet 1 while the settings load: an error there shows no step
    try {
        loadSettingsForPass(module.settings, module.folders);
        step = 1;
        recoverInterruptedDelivery(module.folders.records, module.operations);
        if (module.settings.use_standard_password)
            module.addLine(QStringLiteral(" Applico password standard"));

        for (int slot = 0; slot < kSlotCount; ++slot) {
            step = 1;
            if (!prepareSlot(module.settings, slot, module.slot))
                continue;
            if (const QString reason = lineBreakingFolderReason(module.settings.slots[slot], slot);
                !reason.isEmpty()) {
                module.addLine(QStringLiteral(" Slot %1 non elaborato: ").arg(slot) + reason);
                continue;
            }
            const SlotContext& ctx = module.slot;
            const bool reachable = slotFoldersReachable(ctx);
            if (!reachable)
                module.addLine(QStringLiteral(" Non riesco ad accedere ad una delle tre dir ") + ctx.folder +
                               QLatin1Char(' ') + ctx.dest_folder + QLatin1Char(' ') + ctx.log_folder);
            step = 2;
            if (!reachable)
                continue;

            step = 3;
            module.addLineAndRefresh(QStringLiteral(" Lettura cartella pricipale ") + ctx.folder);
            runFolderPass(module.passEnvironment());
            step = 4;
            if (readsSubfolders(module.settings.slots[slot]))
                visitSubfolders(module, slot);
        }
    } catch (const platform::RunError& error) {
        if (error.number() == platform::errnum::BadFileName ||
            error.number() == platform::errnum::PathNotFound)
            module.addLineAndRefresh(QStringLiteral(" LEGGI DIR Controllare l'esistenza delle directory"));
        else
            module.addLineAndRefresh(QStringLiteral(" LEGGI DIR") + QString::number(error.number()) +
                                     QLatin1Char(' ') + error.description() + QStringLiteral(" STEP ") +
                                     (step == 0 ? QString() : QString::number(step)));
    }
    if (module.operations.longerThanThreshold())
        module.flushTrackingFile();
    if (module.close_pending)
        module.host.requestClose();
}

}  // namespace dokivo
