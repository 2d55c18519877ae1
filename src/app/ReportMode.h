#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace dokivo {

class Frontend;

// Exit status of a configuration check that found something.
inline constexpr int kExitProblemsFound = 4;

// Whether the command line asks for a report ("verifica:y", "simula:y") in place of the
// program's work; "run:" and "timer:" then do nothing.
bool reportRequested(const QString& commandLine);

struct ReportOutcome {
    QStringList lines;
    bool configurationChecked = false;
    bool problemsFound = false;
    int exitStatus() const { return problemsFound ? kExitProblemsFound : 0; }
};

// The reports the command line asks for, the configuration check first. Of start-up only the
// operating-system facts, the command line and the configuration folder are taken, with the
// same refusals (nothing is returned then, the message having been shown through `frontend`):
// no operation line, tray icon, retention of record files, pass or tracking file, so the tree is
// left exactly as it was. It needs no instance lock and makes no record folder.
std::optional<ReportOutcome> runRequestedReports(Frontend& frontend, const QString& commandLine);

}  // namespace dokivo
