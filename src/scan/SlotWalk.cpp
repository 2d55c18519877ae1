#include "scan/SlotWalk.h"

#include "config/ControlCodes.h"
#include "config/Settings.h"
#include "logs/TrackingFile.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "processing/LineBreakingNames.h"
#include "processing/PassEnvironment.h"
#include "processing/SlotContext.h"

namespace dokivo {

using platform::isUnsetFolder;
using platform::withTrailingSeparator;

void loadSettingsForPass(Settings& settings, const AppFolders& folders) {
    LoadSettings(settings);
    for (SlotSettings& slot : settings.slots) {
        slot.dir_in = withTrailingSeparator(slot.dir_in);
        slot.dir_out = withTrailingSeparator(slot.dir_out);
    }
    settings.dir_log_generale = trackingFolder(settings.dir_log_generale, folders.records);
}

bool prepareSlot(const Settings& settings, int slot, SlotContext& ctx) {
    const SlotSettings& ss = settings.slots[slot];
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

std::vector<SlotFolder> lineBreakingFolders(const SlotSettings& slot) {
    const SlotFolder folders[] = {{"dir_in_", slot.dir_in},
                                  {"dir_out_", slot.dir_out},
                                  {"dir_log_", slot.dir_log},
                                  {"dir_backup_", slot.dir_backup},
                                  {"dir_doppioni_", slot.dir_doppioni},
                                  {"dir_nazionale_", readControlCodes(slot.dir_nazionale).dircgd_value}};
    std::vector<SlotFolder> breaking;
    for (const SlotFolder& folder : folders)
        if (breaksRecordLines(folder.path))
            breaking.push_back(folder);
    return breaking;
}

QString lineBreakingFolderReason(const SlotSettings& slot, int n) {
    const std::vector<SlotFolder> breaking = lineBreakingFolders(slot);
    if (breaking.empty())
        return {};
    return QStringLiteral("il percorso in ") + slotKey(breaking.front().stem, n) +
           QStringLiteral(" contiene una tabulazione o un a capo : ") +
           withLineBreaksShown(breaking.front().path);
}

bool slotFoldersReachable(const SlotContext& ctx) {
    return platform::folderExists(ctx.folder) && platform::folderExists(ctx.dest_folder) &&
           platform::folderExists(ctx.log_folder);
}

bool readsSubfolders(const SlotSettings& slot) {
    return slot.gestione_dir == QLatin1String("1");
}

void enterSubfolder(const SlotSettings& slot, const QString& name, SlotContext& ctx) {
    const bool sameDestination =
        slot.gestione_dir_out == QLatin1String("0") || slot.gestione_dir_out.isEmpty();
    ctx.is_main_folder = false;
    ctx.folder = slot.dir_in + name + platform::separatorChar();
    ctx.dest_folder = sameDestination ? slot.dir_out : slot.dir_out + name + platform::separatorChar();
}

}  // namespace dokivo
