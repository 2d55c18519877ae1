#pragma once

#include <QString>
#include <QStringList>

namespace dokivo {

class MainModule;

// What a pass would stumble on in "Dokivo.ini", one Italian line per problem naming the slot and
// the key, in the order of the file's keys: a folder that is missing or cannot be written; a
// folder whose path holds a tab or a line break, for which the pass does not serve the slot; a
// slot the pass skips silently for want of a destination or log folder; a folder that would
// file documents where the slot takes them from; an input folder that another slot reads
// first; a "CREA:" layout the pass does not know; a period the settings window does not offer;
// encryption without its tool or without the slot's own password; an extension left out for
// its inner blank. The file is read afresh; nothing changes, on disk or in the module.
QStringList configurationProblems(const MainModule& module);

// The check as the operator reads it: a heading naming the file, the problems, a summary line.
QStringList configurationReport(const QString& iniPath, const QStringList& problems);

}  // namespace dokivo
