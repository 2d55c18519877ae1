#pragma once

// The promise the kill harness checks: no document is ever lost, no final name ever holds a
// partial copy, and every delivered document is recorded once.

#include <QStringList>

#include "CrashTree.h"

namespace dokivo::crash {

struct InvariantReport {
    int documentsChecked = 0;
    int lost = 0;               // neither in its input folder nor complete where it belongs
    int truncated = 0;          // a final name holding bytes that are no document's
    int duplicatedRecords = 0;  // documents with more than one record line
    int strayRecords = 0;       // record lines of documents that were not delivered
    int missingRecords = 0;     // delivered documents without their line (only after the final pass)
    int leftovers = 0;          // temporary copies still lying around
    int delivered = 0;
    QStringList problems;  // one line per fault, for the failure report

    bool holds(bool final) const {
        return lost == 0 && truncated == 0 && duplicatedRecords == 0 && strayRecords == 0 &&
               (!final || (missingRecords == 0 && leftovers == 0));
    }
};

// After a kill (`final` false) a delivered document may still lack its record line and
// temporary copies may lie around; after the final pass neither is allowed.
InvariantReport checkInvariant(const CrashTree& tree, bool final);

}  // namespace dokivo::crash
