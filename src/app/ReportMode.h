#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace dokivo {

class MainModule;

// Exit status of a configuration check that found something.
inline constexpr int kExitProblemsFound = 4;

// Whether the command line asks for a report ("verifica:y", "simula:y") in place of the
// program's work; "run:" and "timer:" then do nothing.
bool reportRequested(const QString& commandLine);

struct ReportOutcome {
    QStringList lines;
    bool problemsFound = false;
};

// The reports the command line asks for, the configuration check first. Of start-up only the
// command line and the configuration folder are taken, with the same refusals (nothing is
// returned then, the message having been shown): no operation line, tray icon, retention of
// record files, pass or tracking file, so the tree is left exactly as it was.
std::optional<ReportOutcome> runRequestedReports(MainModule& module, const QString& commandLine);

}  // namespace dokivo
