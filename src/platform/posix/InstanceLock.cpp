#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QFile>

namespace dokivo::platform {

// flock belongs to the open file, so it goes with the process however that ends.
struct InstanceLock::State {
    QString path;
    int fd = -1;
};

InstanceLock::InstanceLock(const QString& path) : state_(std::make_unique<State>(State{path})) {}

InstanceLock::~InstanceLock() {
    if (state_->fd >= 0)
        ::close(state_->fd);
}

bool InstanceLock::tryLock() {
    state_->fd = ::open(QFile::encodeName(state_->path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (state_->fd < 0)
        return false;
    if (::flock(state_->fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(state_->fd);
        state_->fd = -1;
        return false;
    }
    return true;
}

}  // namespace dokivo::platform
