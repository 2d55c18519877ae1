#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>

namespace dokivo {

class ScanModule;
struct Settings;

namespace platform {
class FolderWatch;
struct UnwatchedFolder;
}  // namespace platform

// Files a document soon after it arrives, while the schedule runs with archiviazione_immediata
// on: a change the system reports in an input folder (or a subfolder a slot reads) starts a
// scheduled pass once a short gathering time has gone by, so that a burst of files costs a few
// passes; a change during a pass starts one more after it. A file a pass passed over as still
// arriving is looked at again shortly, less and less often while it stays. A folder the system
// cannot watch is named once in the operations list and left to the timer, which keeps ticking
// in any case. While nothing arrives, nothing runs.
class ImmediateFiling {
  public:
    explicit ImmediateFiling(ScanModule& module);
    ~ImmediateFiling();
    ImmediateFiling(const ImmediateFiling&) = delete;
    ImmediateFiling& operator=(const ImmediateFiling&) = delete;

    // Watches the folders the next pass reads, or none when the schedule stands or the setting
    // is off. Called when the schedule starts or stops and after each scheduled pass.
    void follow();
    // After a scheduled pass: one more when something changed meanwhile, a look again at files
    // passed over as still arriving.
    void passEnded();

  private:
    void arrived();
    void runPass();
    void stop();
    void announce(const platform::UnwatchedFolder& unwatched);

    ScanModule& module_;
    std::unique_ptr<platform::FolderWatch> watch_;
    QTimer gather_;
    QTimer lookAgain_;
    int lookAgainMs_;
    bool changedDuringPass_ = false;
    QHash<QString, QString> announced_;  // folder -> why it is left to the timer
};

// The input folders a pass over `settings` reads: each reachable slot's folder and, where the
// slot reads them, its immediate subfolders; each ends with the separator.
QStringList inputFolders(const Settings& settings);

// Makes the module's immediate filing on first need and lets it follow the schedule and the
// settings.
void followInputFolders(ScanModule& module);

}  // namespace dokivo
