#include "scan/ScanDriver.h"

#include "config/ControlCodes.h"
#include "logs/TrackingFile.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/RunError.h"
#include "processing/DeliveryJournal.h"
#include "processing/FolderPass.h"
#include "processing/LineBreakingNames.h"
#include "scan/ScanHost.h"
#include "scan/ScanModule.h"

namespace dokivo {

using platform::isUnsetFolder;
using platform::withTrailingSeparator;

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

// The settings as this pass uses them, settled once as they are read: each slot's input and
// destination folders end with the separator, and so does the general log folder, which is the
// record folder when none is set (LoadSettings itself settles the password folder). The model
// keeps these values until the next load; nothing after this point changes them.
void loadSettingsForPass(ScanModule& module) {
    Settings& settings = module.settings;
    LoadSettings(settings);
    for (SlotSettings& slot : settings.slots) {
        slot.dir_in = withTrailingSeparator(slot.dir_in);
        slot.dir_out = withTrailingSeparator(slot.dir_out);
    }
    settings.dir_log_generale = trackingFolder(settings.dir_log_generale, module.folders.records);
}

// Fills the context for the slot's main folder, every folder in it ending with the separator;
// false when the slot is not configured.
bool prepareSlot(ScanModule& module, int slot) {
    const SlotSettings& ss = module.settings.slots[slot];
    SlotContext& ctx = module.slot;
    ctx = SlotContext{};
    ctx.slot_index = slot;
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
    static_cast<ControlCodes&>(ctx) = readControlCodes(ctx.parameters);
    if (!ctx.dircgd_value.isEmpty())
        ctx.dircgd_value = withTrailingSeparator(ctx.dircgd_value);
    ctx.format_marker = ctx.parameters == kFormatoateneMarker ? kFormatoateneMarker : QString();
    if (isUnsetFolder(ctx.folder) || isUnsetFolder(ctx.dest_folder) || isUnsetFolder(ctx.log_folder))
        return false;
    for (QString* f : {&ctx.log_folder, &ctx.backup_folder, &ctx.duplicates_folder})
        *f = withTrailingSeparator(*f);
    return true;
}

void visitSubfolders(ScanModule& module, int slot) {
    const SlotSettings& ss = module.settings.slots[slot];
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
        ctx.folder = ss.dir_in + name + platform::separatorChar();
        ctx.dest_folder = sameDestination ? ss.dir_out : ss.dir_out + name + platform::separatorChar();
        letturacartella(module.passEnvironment());
    }
}

}  // namespace

void LEGGI_DIR(ScanModule& module) {
    if (module.pass_running)
        return;
    PassGuard guard(module);
    int step = 0;  // not yet 1 while the settings load: an error there shows no step
    try {
        loadSettingsForPass(module);
        step = 1;
        recoverInterruptedDelivery(module.folders.records, module.operations);
        if (module.settings.use_standard_password)
            module.addLine(QStringLiteral(" Applico password standard"));

        for (int slot = 0; slot < kSlotCount; ++slot) {
            step = 1;
            if (!prepareSlot(module, slot))
                continue;
            const SlotContext& ctx = module.slot;
            const bool reachable = platform::folderExists(ctx.folder) &&
                                   platform::folderExists(ctx.dest_folder) &&
                                   platform::folderExists(ctx.log_folder);
            if (!reachable)
                module.addLine(QStringLiteral(" Non riesco ad accedere ad una delle tre dir ") + ctx.folder +
                               QLatin1Char(' ') + ctx.dest_folder + QLatin1Char(' ') + ctx.log_folder);
            step = 2;
            if (!reachable)
                continue;

            step = 3;
            module.addLineAndRefresh(QStringLiteral(" Lettura cartella pricipale ") + ctx.folder);
            letturacartella(module.passEnvironment());
            step = 4;
            if (module.settings.slots[slot].gestione_dir == QLatin1String("1"))
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
