#include "platform/FolderWatch.h"

#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <QFile>
#include <QHash>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>

#include "platform/RunError.h"

namespace dokivo::platform {

namespace {

// What starts a pass: a file closed after writing or moved in, a folder made. A file's creation
// alone is not enough (its close follows), and removals are the pass's own doing.
constexpr uint32_t kArrivals = IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE;
constexpr uint32_t kGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED;

// The kernel reports only this machine's own writes on these: another computer's document would
// never be noticed.
QString networkFileSystem(const QString& folder) {
    struct statfs fs {};
    if (::statfs(QFile::encodeName(folder).constData(), &fs) != 0)
        return {};
    switch (static_cast<unsigned long>(fs.f_type)) {
        case 0x6969UL:
            return QStringLiteral("NFS");
        case 0x517BUL:
        case 0xFF534D42UL:
        case 0xFE534D42UL:
            return QStringLiteral("SMB/CIFS");
        default:
            return {};
    }
}

QString refusal(int err) {
    if (err == ENOSPC || err == EMFILE)
        return QStringLiteral(
            "raggiunto il limite di cartelle controllate del sistema "
            "(fs.inotify.max_user_watches / max_user_instances)");
    if (err == ENOENT || err == ENOTDIR)
        return QStringLiteral("cartella non trovata");
    return QStringLiteral("il sistema rifiuta il controllo della cartella: ") +
           describeError(errorNumberFromErrno(err, true));
}

}  // namespace

// inotify, read when the kernel says there is something to read.
class FolderWatch::Watcher {
  public:
    Watcher(std::function<void()> onArrival, std::function<void(const UnwatchedFolder&)> onLost)
        : onArrival_(std::move(onArrival)), onLost_(std::move(onLost)) {}
    ~Watcher() {
        notifier_.reset();
        if (fd_ >= 0)
            ::close(fd_);
    }

    std::vector<UnwatchedFolder> watchOnly(const QStringList& folders) {
        for (const QString& folder : wdOf_.keys()) {
            if (folders.contains(folder))
                continue;
            const int wd = wdOf_.take(folder);
            if (wdOf_.key(wd).isNull())  // no other name leads to the same folder
                ::inotify_rm_watch(fd_, wd);
        }
        std::vector<UnwatchedFolder> unwatched;
        for (const QString& folder : folders) {
            if (wdOf_.contains(folder))
                continue;
            if (const QString network = networkFileSystem(folder); !network.isEmpty()) {
                unwatched.push_back({folder, QStringLiteral("file system di rete (") + network +
                                                 QStringLiteral("): le scritture di altri computer "
                                                                "non vengono segnalate")});
                continue;
            }
            if (!open()) {
                unwatched.push_back({folder, refusal(errno)});
                continue;
            }
            const int wd = ::inotify_add_watch(fd_, QFile::encodeName(folder).constData(),
                                               kArrivals | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR);
            if (wd < 0) {
                unwatched.push_back({folder, refusal(errno)});
                continue;
            }
            wdOf_.insert(folder, wd);
        }
        return unwatched;
    }

  private:
    bool open() {
        if (fd_ >= 0)
            return true;
        fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd_ < 0)
            return false;
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { readEvents(); });
        return true;
    }

    // Drops every folder that the watch `wd` serves (two names may lead to one folder).
    QStringList forget(int wd) {
        const QStringList folders = wdOf_.keys(wd);
        for (const QString& folder : folders)
            wdOf_.remove(folder);
        ::inotify_rm_watch(fd_, wd);
        return folders;
    }

    void readEvents() {
        alignas(inotify_event) char buffer[16384];
        bool arrived = false;
        QStringList lost;
        for (;;) {
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n <= 0)
                break;
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                if (event->mask & IN_Q_OVERFLOW)
                    arrived = true;  // some events were lost: a pass looks at everything
                else if (event->mask & kGone)
                    lost += forget(event->wd);  // nothing for a watch already given up
                else if (event->mask & (IN_CLOSE_WRITE | IN_MOVED_TO) ||
                         (event->mask & IN_CREATE && event->mask & IN_ISDIR))
                    arrived = true;
            }
        }
        for (const QString& folder : lost)
            onLost_({folder, QStringLiteral("la cartella non e' piu' raggiungibile")});
        if (arrived)
            onArrival_();
    }

    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    QHash<QString, int> wdOf_;
    std::function<void()> onArrival_;
    std::function<void(const UnwatchedFolder&)> onLost_;
};

FolderWatch::FolderWatch(std::function<void()> onArrival, std::function<void(const UnwatchedFolder&)> onLost)
    : watcher_(std::make_unique<Watcher>(std::move(onArrival), std::move(onLost))) {}

FolderWatch::~FolderWatch() = default;

std::vector<UnwatchedFolder> FolderWatch::watchOnly(const QStringList& folders) {
    return watcher_->watchOnly(folders);
}

}  // namespace dokivo::platform
