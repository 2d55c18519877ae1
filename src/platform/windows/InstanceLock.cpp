#include "platform/InstanceLock.h"

#include <QLockFile>

namespace dokivo::platform {

struct InstanceLock::State {
    explicit State(const QString& path) : lock(path) {
        lock.setStaleLockTime(0);  // stale only when its process is gone, never because it is old
    }
    QLockFile lock;
};

InstanceLock::InstanceLock(const QString& path) : state_(std::make_unique<State>(path)) {}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::tryLock() {
    return state_->lock.tryLock(0);
}

}  // namespace dokivo::platform
