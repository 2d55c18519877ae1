#pragma once

#include <QDateTime>
#include <QString>

#include "processing/NameRules.h"
#include "processing/SpecialKinds.h"

namespace dokivo {

struct Settings;
struct SlotContext;

namespace platform {
struct FileEntry;
}

// Why a file of an input folder stays where it is; None when the pass goes on to file it.
enum class StayReason {
    None,
    FolderLock,          // the folder's lock file, never a document
    EncryptedCopyName,   // "CRIPTATO.PDF"
    ControlCharacters,   // the slot's control-character rule refuses the name
    NameNotText,         // the name cannot be addressed as text
    TemporaryCopy,       // our own temporary copy
    EncryptionWorkFile,  // the encryption tool's work file, in a slot that encrypts
    StillArriving,       // another program is still writing it
    LineBreaks,          // a tab, CR or LF in the name would break the record lines
    Extension,           // extension not accepted
    Formatoatene,        // name refused by the FORMATOATENE filter
    RecordOnly,          // SOLOLOG: recorded, and left where it is
    PodsitirNoMarker,    // PODSITIR slot, no marker in the name
    PodsitirRejected,    // PODSITIR slot, marker without a valid type
};

// What the folder pass decides about one file before it writes anything: from the name, the
// file's times, the slot's context and settings alone. The pass acts on it; the simulation
// reports it, so both take the same decision.
struct FileDecision {
    StayReason stays = StayReason::None;
    // The name reached the name checks (the pass gives it its " File : " line).
    bool named = false;
    qsizetype dot = 0;
    bool timeStamped = false;
    // The destination name as made from the source name (before a PODSITIR rename).
    QString destinationName;
    PodsitirResult podsitir;
    // The name the document is delivered under, once every rule has spoken.
    QString finalName() const {
        return podsitir.kind == PodsitirResult::Kind::Renamed ? podsitir.name : destinationName;
    }
    // The PODSITIR rule leaves the document in place (nothing is done to it).
    bool podsitirKeepsIt() const {
        return stays == StayReason::PodsitirNoMarker || stays == StayReason::PodsitirRejected;
    }
};

// `rule` is the one decided at the start of the folder pass; `now` tells files still being
// written. Throws RunError only where the control rule does.
FileDecision decideFile(const SlotContext& ctx, const Settings& settings, const ControlRule& rule,
                        const platform::FileEntry& file, const QDateTime& now);

}  // namespace dokivo
