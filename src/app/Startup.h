#pragma once

#include <QString>

namespace dokivo {

class MainModule;

inline const QString kWindowCaption = QStringLiteral("Dokivo Ver. 3.7 - 20/11/09");
inline const QString kApplicationTitle = QStringLiteral("Dokivo");
inline constexpr int kListHorizontalExtentPx = 1500;

// The two operating-system facts of the first operation line: read from the current-version
// key, and from the NT key when the product name is still empty.
void readOperatingSystemFacts(MainModule& module);

enum class StartupOutcome {
    Idle,        // the window stays open (schedule running or stopped, or after a start-up error)
    Refused,     // empty "ini:" or no "Dokivo.ini": the program ends, nothing is written
    RunFinished  // run:y: one pass ran; the window is to be closed in order
};

// The command line's keywords and the configuration folder; false, after the message saying
// why, when "ini:" is empty or "Dokivo.ini" is not there.
bool findConfiguration(MainModule& module, const QString& commandLine);

// The start-up sequence of the main window, in order: opening line, caption, command line and
// configuration folder, list extent, tray icon, retention of old record files, settings,
// opening line, then the schedule (timer:y) or one unattended pass (run:y).
StartupOutcome startUp(MainModule& module, const QString& commandLine);

// The close: " CHIUSURA  DOKIVO ", flush of the whole list, tray icon removed.
void closeDown(MainModule& module);

}  // namespace dokivo
