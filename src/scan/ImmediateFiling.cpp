#include "scan/ImmediateFiling.h"

#include "config/Settings.h"
#include "platform/FileSystem.h"
#include "platform/FolderWatch.h"
#include "platform/Paths.h"
#include "platform/RunError.h"
#include "processing/SlotContext.h"
#include "scan/ScanModule.h"
#include "scan/Scheduler.h"
#include "scan/SlotWalk.h"

namespace dokivo {

namespace {
// Long enough to gather the files a scanner or a copy drops together, short enough that a
// document is filed within a second or two of its close.
constexpr int kGatherMs = 300;
// The first look again at a file still being written; each later one waits twice as long, and
// past the schedule's own tick the timer alone serves.
constexpr int kLookAgainMs = 1000;
}  // namespace

ImmediateFiling::ImmediateFiling(ScanModule& module) : module_(module), lookAgainMs_(kLookAgainMs) {
    gather_.setSingleShot(true);
    gather_.setInterval(kGatherMs);
    QObject::connect(&gather_, &QTimer::timeout, [this] { runPass(); });
    lookAgain_.setSingleShot(true);
    QObject::connect(&lookAgain_, &QTimer::timeout, [this] { runPass(); });
}

ImmediateFiling::~ImmediateFiling() = default;

void ImmediateFiling::follow() {
    if (!module_.settings.immediate_filing || module_.schedule.caption != kCaptionStop)
        return stop();
    if (!watch_)
        watch_ = std::make_unique<platform::FolderWatch>(
            [this] { arrived(); }, [this](const platform::UnwatchedFolder& lost) { announce(lost); });
    const std::vector<platform::UnwatchedFolder> unwatched =
        watch_->watchOnly(inputFolders(module_.settings));
    // A folder watched again is named again should it be lost again.
    QHash<QString, QString> still;
    for (const platform::UnwatchedFolder& u : unwatched)
        still.insert(u.folder, announced_.value(u.folder));
    announced_ = still;
    for (const platform::UnwatchedFolder& u : unwatched)
        announce(u);
}

void ImmediateFiling::passEnded() {
    if (!watch_)
        return;
    if (changedDuringPass_) {
        changedDuringPass_ = false;
        gather_.start();
    }
    if (module_.files_still_arriving == 0) {
        lookAgain_.stop();
        lookAgainMs_ = kLookAgainMs;
    } else if (lookAgainMs_ <= kScheduleTickMs) {
        lookAgain_.start(lookAgainMs_);
        lookAgainMs_ *= 2;
    }
}

void ImmediateFiling::arrived() {
    if (!gather_.isActive())  // the first change starts the time; later ones join it
        gather_.start();
}

void ImmediateFiling::runPass() {
    // A change seen while a pass waits for the encryption tool is served right after it.
    if (module_.pass_running) {
        changedDuringPass_ = true;
        return;
    }
    runScheduledPass(module_);
}

void ImmediateFiling::stop() {
    watch_.reset();
    gather_.stop();
    lookAgain_.stop();
    lookAgainMs_ = kLookAgainMs;
    changedDuringPass_ = false;
    announced_.clear();
}

void ImmediateFiling::announce(const platform::UnwatchedFolder& unwatched) {
    if (announced_.value(unwatched.folder) == unwatched.why)
        return;
    announced_.insert(unwatched.folder, unwatched.why);
    module_.addLineAndRefresh(QStringLiteral(" Archiviazione immediata non attiva per la cartella ") +
                              unwatched.folder + QStringLiteral(" : ") + unwatched.why +
                              QStringLiteral("; la serve il timer"));
}

QStringList inputFolders(const Settings& settings) {
    QStringList folders;
    SlotContext ctx;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!prepareSlot(settings, slot, ctx) || !slotFoldersReachable(ctx))
            continue;
        const QString folder = platform::withTrailingSeparator(ctx.folder);
        folders << folder;
        if (readsSubfolders(settings.slots[slot]))
            platform::ignoringFailures([&] {
                for (const QString& name : platform::listSubfolders(folder))
                    folders << folder + name + platform::separatorChar();
            });
    }
    folders.removeDuplicates();
    return folders;
}

void followInputFolders(ScanModule& module) {
    if (!module.immediate_filing) {
        if (!module.settings.immediate_filing)
            return;
        module.immediate_filing = std::make_unique<ImmediateFiling>(module);
    }
    module.immediate_filing->follow();
}

}  // namespace dokivo
