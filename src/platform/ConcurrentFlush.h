#pragma once

#include <QSemaphore>
#include <QThreadPool>
#include <exception>
#include <functional>
#include <vector>

namespace dokivo::platform {

// Runs waits on the disk side by side: flushes issued together are committed together by the
// file system's journal, where one after the other each would wait for a commit of its own. The
// threads stay for the next group until the runner goes.
class ConcurrentFlush {
  public:
    ConcurrentFlush();

    // Calls `work(i)` for every i below `count`, several at once, and returns when all are done:
    // for each i the exception it ended with, or null.
    std::vector<std::exception_ptr> run(std::size_t count, const std::function<void(std::size_t)>& work);

  private:
    QThreadPool pool_;
    QSemaphore done_;  // one release per finished call; the pool's own wait would end its threads
};

}  // namespace dokivo::platform
