#pragma once

#include <QString>

namespace dokivo {

class MainModule;
class DeliveryJournal;
struct JournalEntry;

// Where one accepted document goes.
struct DeliveryPlan {
    QString inputFolder;
    QString sourceName;
    QString destinationName;
    QString destinationFolder;  // the root with its date levels
    QString backupFolder;       // the separator alone: none
    QString duplicatesFolder;   // the separator alone: none
};

// The copies of one document: the backup copy, then the destination copy, or the duplicates
// copy when the destination name is taken and a duplicates folder is set. In the backup and
// duplicates folders a name held by a different file is kept and the copy takes the first free
// numbered name ("Scan_01 (2).pdf"); the destination copy replaces a file of its name when there
// is no duplicates folder. Each copy is complete
// on disk before it takes its name; the journal entry (`pending`, whose record line is dropped
// for a duplicate) is written before the last copy starts, so that a crash during that copy
// still tells the next pass which (dated) folder holds its temporary file. Adds the " Copiato " lines and
// returns whether the document went to the duplicates folder. Throws RunError.
bool deliverCopies(MainModule& module, const DeliveryPlan& plan, DeliveryJournal& journal,
                   JournalEntry pending, int& step);

}  // namespace dokivo
