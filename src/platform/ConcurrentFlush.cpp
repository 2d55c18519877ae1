#include "platform/ConcurrentFlush.h"

namespace dokivo::platform {

namespace {
// Enough waits in flight for one journal commit to take them all; more threads add nothing.
constexpr int kThreads = 16;
}  // namespace

ConcurrentFlush::ConcurrentFlush() {
    pool_.setMaxThreadCount(kThreads);
}

std::vector<std::exception_ptr> ConcurrentFlush::run(std::size_t count,
                                                     const std::function<void(std::size_t)>& work) {
    std::vector<std::exception_ptr> failures(count);
    const auto attempt = [&work, &failures](std::size_t i) {
        try {
            work(i);
        } catch (...) {
            failures[i] = std::current_exception();
        }
    };
    if (count == 1) {  // nothing to wait beside: no thread hand-over
        attempt(0);
        return failures;
    }
    for (std::size_t i = 0; i < count; ++i)
        pool_.start([this, &attempt, i] {
            attempt(i);
            done_.release();
        });
    done_.acquire(static_cast<int>(count));
    return failures;
}

}  // namespace dokivo::platform
