#pragma once

#include <QString>
#include <vector>

namespace dokivo {

struct AppFolders;
struct Settings;
struct SlotContext;
struct SlotSettings;

// How a scan pass goes through the slots, shared by the pass and by anything that must see the
// slots exactly as the pass sees them.

// Reads "Dokivo.ini" into `settings`, settled once as they are read: each slot's input and
// destination folders end with the separator, and so does the general log folder, which is the
// record folder when none is set (LoadSettings itself settles the password folder).
void loadSettingsForPass(Settings& settings, const AppFolders& folders);

// Fills `ctx` for the slot's main folder, every folder in it ending with the separator; false
// when the slot is not configured (no input, destination or log folder).
bool prepareSlot(const Settings& settings, int slot, SlotContext& ctx);

// A folder of a slot: the stem of the key that holds it ("dir_out_") and its path.
struct SlotFolder {
    const char* stem;
    QString path;
};

// The slot's folders whose path holds a tab, a carriage return or a line feed, among those that
// operation lines and records name as they stand: the input, destination, log, backup and
// duplicates folders and the "DIRCGD=" folder of the parameter text. A pass serves no slot that
// has one, for every line naming it would break.
std::vector<SlotFolder> lineBreakingFolders(const SlotSettings& slot);

// Why a pass does not serve slot `n` for such a folder, the first one named with its characters
// shown; empty when the slot has none.
QString lineBreakingFolderReason(const SlotSettings& slot, int n);

// The slot's input, destination and log folders are all there.
bool slotFoldersReachable(const SlotContext& ctx);

// The slot asks for its immediate subfolders to be read after its main folder.
bool readsSubfolders(const SlotSettings& slot);

// Points `ctx` at the subfolder `name` of the slot's input folder, and at the destination its
// documents go to: the slot's own, or a folder of the subfolder's name below it.
void enterSubfolder(const SlotSettings& slot, const QString& name, SlotContext& ctx);

}  // namespace dokivo
