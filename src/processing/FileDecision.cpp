#include "processing/FileDecision.h"

#include "config/Settings.h"
#include "platform/ArrivalCheck.h"
#include "platform/DurableCopy.h"
#include "platform/FileSystem.h"
#include "platform/FolderLock.h"
#include "processing/Encryption.h"
#include "processing/LineBreakingNames.h"
#include "processing/SlotContext.h"

namespace dokivo {

namespace {

const QString kEncryptedName = QStringLiteral("CRIPTATO.PDF");

// The files that never reach the name checks, in the order the pass tests them.
StayReason beforeNameChecks(const SlotContext& ctx, const ControlRule& rule, const platform::FileEntry& file,
                            const QDateTime& now) {
    if (platform::isFolderLockName(file.name))
        return StayReason::FolderLock;
    if (file.name == kEncryptedName)
        return StayReason::EncryptedCopyName;
    if (!passesControlRule(rule, file.name))
        return StayReason::ControlCharacters;
    if (!file.nameIsText)
        return StayReason::NameNotText;
    if (platform::isTemporaryCopyName(file.name))
        return StayReason::TemporaryCopy;
    if (file.name == kEncryptionWorkFileName && slotEncrypts(ctx))
        return StayReason::EncryptionWorkFile;
    if (platform::isStillArriving(ctx.folder + file.name, file.modified, now))
        return StayReason::StillArriving;
    if (breaksRecordLines(file.name))
        return StayReason::LineBreaks;
    return StayReason::None;
}

}  // namespace

FileDecision decideFile(const SlotContext& ctx, const Settings& settings, const ControlRule& rule,
                        const platform::FileEntry& file, const QDateTime& now) {
    FileDecision d;
    d.stays = beforeNameChecks(ctx, rule, file, now);
    if (d.stays != StayReason::None)
        return d;

    d.named = true;
    d.dot = dotPosition(file.name);
    const QString token = extensionToken(file.name, d.dot);
    if (!acceptedByExtension(file.name, d.dot, token, settings.extension_list)) {
        d.stays = StayReason::Extension;
        return d;
    }
    d.destinationName = baseDestinationName(file.name, ctx.sihsit);
    d.timeStamped = wantsTimeStampedName(ctx);
    if (d.timeStamped)
        d.destinationName = timeStampedName(d.destinationName, file.name, d.dot, file.created);

    if (!passesFormatoateneFilter(d.destinationName, ctx.format_marker, settings.formatoatene_prefissi))
        d.stays = StayReason::Formatoatene;
    else if (ctx.sololog)
        d.stays = StayReason::RecordOnly;
    else if (ctx.podsitir) {
        d.podsitir = applyPodsitir(d.destinationName, extensionAfterDot(file.name, d.dot));
        if (d.podsitir.kind == PodsitirResult::Kind::NoMarker)
            d.stays = StayReason::PodsitirNoMarker;
        else if (d.podsitir.kind == PodsitirResult::Kind::Rejected)
            d.stays = StayReason::PodsitirRejected;
    }
    return d;
}

}  // namespace dokivo
