#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace dokivo::platform {

// A folder the system will not report on, and why, in the words of the operations list.
struct UnwatchedFolder {
    QString folder;
    QString why;
};

// Tells, on the event loop of the thread that made it, when something may have arrived in a set
// of folders: a file written and closed (on Linux; on Windows a file made or changed), moved in,
// or a folder made. Removals are not reported, so a pass's own deletions start nothing. Nothing
// is polled: while nothing changes, nothing runs. A folder that goes away is dropped and
// reported once through `onLost`; watching it again is up to the caller.
class FolderWatch {
  public:
    FolderWatch(std::function<void()> onArrival, std::function<void(const UnwatchedFolder&)> onLost);
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // From now on watches exactly `folders`, each ending with the separator; returns those the
    // system cannot watch (a network file system, a refused watch, a limit reached, a folder
    // that is not there).
    std::vector<UnwatchedFolder> watchOnly(const QStringList& folders);

    class Watcher;  // the system's own

  private:
    std::unique_ptr<Watcher> watcher_;
};

}  // namespace dokivo::platform
