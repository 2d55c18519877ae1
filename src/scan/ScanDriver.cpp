#include "scan/ScanDriver.h"

#include "app/MainModule.h"
#include "logs/TrackingFile.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/RunError.h"
#include "processing/DeliveryJournal.h"
#include "processing/FolderPass.h"
#include "processing/LineBreakingNames.h"
#include "scan/ControlCodes.h"

namespace dokivo {

using platform::isUnsetFolder;
using platform::withTrailingSeparator;

namespace {

class PassGuard {
  public:
    explicit PassGuard(MainModule& module) : module_(module) { module_.pass_running = true; }
    ~PassGuard() { module_.pass_running = false; }
    PassGuard(const PassGuard&) = delete;
    PassGuard& operator=(const PassGuard&) = delete;

  private:
    MainModule& module_;
};

// Fills the context for the slot's main folder; false when the slot is not configured.
bool prepareSlot(MainModule& module, int slot) {
    SlotSettings& ss = module.settings.slots[slot];
    SlotContext& ctx = module.slot;
    ctx = SlotContext{};
    ctx.slot_index = slot;
    ss.dir_in = withTrailingSeparator(ss.dir_in);
    ss.dir_out = withTrailingSeparator(ss.dir_out);
    ctx.folder = ss.dir_in;
    ctx.dest_folder = ss.dir_out;
    ctx.log_folder = ss.dir_log;
    ctx.gestione_pwd = ss.gestione_pwd;
    ctx.duplicates_folder = ss.dir_doppioni;
    ctx.backup_folder = ss.dir_backup;
    ctx.parameters = ss.dir_nazionale;
    ctx.inizio_car_controllo = ss.inizio_car_controllo;
    ctx.fine_car_controllo = ss.fine_car_controllo;
    ctx.car_controllo = ss.car_controllo;
    readControlCodes(ctx);
    if (isUnsetFolder(ctx.folder) || isUnsetFolder(ctx.dest_folder) || isUnsetFolder(ctx.log_folder))
        return false;
    for (QString* f :
         {&ctx.folder, &ctx.dest_folder, &ctx.log_folder, &ctx.backup_folder, &ctx.duplicates_folder})
        *f = withTrailingSeparator(*f);
    return true;
}

void visitSubfolders(MainModule& module, int slot) {
    SlotSettings& ss = module.settings.slots[slot];
    SlotContext& ctx = module.slot;
    const std::vector<QString> subfolders = platform::listSubfolders(ctx.folder);
    const bool sameDestination = ss.gestione_dir_out == QLatin1String("0") || ss.gestione_dir_out.isEmpty();
    for (const QString& name : subfolders) {
        // Its name would break the lines of every document filed from it.
        if (breaksRecordLines(name)) {
            module.addLineAndRefresh(
                QStringLiteral(" Sotto Cartella non letta: il nome contiene una tabulazione o un a capo : ") +
                ss.dir_in + withLineBreaksShown(name));
            continue;
        }
        module.addLineAndRefresh(QStringLiteral(" lettura Sotto Cartella ") + name);
        ctx.is_main_folder = false;
        ctx.folder = ss.dir_in + name;
        ctx.dest_folder = sameDestination ? ss.dir_out : ss.dir_out + name;
        letturacartella(module);
    }
}

}  // namespace

void LEGGI_DIR(MainModule& module) {
    if (module.pass_running)
        return;
    PassGuard guard(module);
    QString step;
    try {
        LoadSettings(module.settings);
        step = QStringLiteral("1");
        recoverInterruptedDelivery(module);
        if (module.settings.use_standard_password)
            module.addLine(QStringLiteral(" Applico password standard"));

        for (int slot = 0; slot < kSlotCount; ++slot) {
            step = QStringLiteral("1");
            if (!prepareSlot(module, slot))
                continue;
            SlotContext& ctx = module.slot;
            const bool reachable = platform::folderExists(ctx.folder) &&
                                   platform::folderExists(ctx.dest_folder) &&
                                   platform::folderExists(ctx.log_folder);
            if (!reachable)
                module.addLine(QStringLiteral(" Non riesco ad accedere ad una delle tre dir ") + ctx.folder +
                               QLatin1Char(' ') + ctx.dest_folder + QLatin1Char(' ') + ctx.log_folder);
            step = QStringLiteral("2");
            if (!reachable)
                continue;

            ctx.format_marker =
                ctx.parameters == QLatin1String("FORMATOATENE") ? QStringLiteral("FORMATOATENE") : QString();
            step = QStringLiteral("3");
            ctx.is_main_folder = true;
            module.addLineAndRefresh(QStringLiteral(" Lettura cartella pricipale ") + ctx.folder);
            letturacartella(module);
            step = QStringLiteral("4");

            SlotSettings& ss = module.settings.slots[slot];
            ss.dir_in = withTrailingSeparator(ss.dir_in);
            ss.dir_out = withTrailingSeparator(ss.dir_out);
            if (ss.gestione_dir == QLatin1String("1"))
                visitSubfolders(module, slot);
        }
    } catch (const platform::RunError& error) {
        if (error.number() == platform::errnum::BadFileName ||
            error.number() == platform::errnum::PathNotFound)
            module.addLineAndRefresh(QStringLiteral(" LEGGI DIR Controllare l'esistenza delle directory"));
        else
            module.addLineAndRefresh(QStringLiteral(" LEGGI DIR") + QString::number(error.number()) +
                                     QLatin1Char(' ') + error.description() + QStringLiteral(" STEP ") +
                                     step);
    }
    if (module.operations.longerThanThreshold())
        flushTrackingFile(module);
    if (module.close_pending)
        module.frontend.requestClose();
}

}  // namespace dokivo
