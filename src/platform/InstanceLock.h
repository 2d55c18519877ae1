#pragma once

#include <QString>
#include <memory>

namespace dokivo::platform {

// An exclusive lock on a file, held from tryLock() until the lock goes, that tells whether
// another instance of the program runs. The system drops it when the process ends, a kill
// included, so a stale lock never keeps the program from starting.
class InstanceLock {
  public:
    explicit InstanceLock(const QString& path);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when this process now holds the lock; false when another one holds it or the file
    // cannot be opened.
    bool tryLock();

  private:
    struct State;  // what each system keeps while it holds the lock
    std::unique_ptr<State> state_;
};

}  // namespace dokivo::platform
