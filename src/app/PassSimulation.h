#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "processing/FileDecision.h"

namespace dokivo {

class MainModule;

// One file of an input folder as the next pass would treat it.
struct PlannedDocument {
    int slot = 0;
    QString source;  // input folder + name
    // Why it would stay; None when it would be filed.
    StayReason stays = StayReason::None;
    bool notRegularFile = false;  // stays too: the pass lists regular files only
    // Where its copy would go (dated destination folder or duplicates folder, with the name it
    // takes there), and its backup copy (empty when the slot keeps none).
    QString target;
    QString backup;
    bool filed() const { return stays == StayReason::None && !notRegularFile; }
};

struct PassPlan {
    std::vector<PlannedDocument> documents;
    QStringList lines;  // the report, one line per folder heading and per file, then a summary
};

// What the next pass would do with every file of every input folder, and why a file would
// stay, without doing any of it: nothing is copied, moved, encrypted, recorded or created (not
// even the date folders). Slots, folders and files are visited as the pass visits them, and
// each file meets the pass's own decisions; names planned for earlier documents count as taken
// for later ones.
PassPlan planPass(const MainModule& module);

// The report lines of planPass.
QStringList simulatePass(const MainModule& module);

}  // namespace dokivo
