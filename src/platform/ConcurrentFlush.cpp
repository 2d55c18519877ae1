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
    if (count == 1) {  // nothing to wait beside: no thread hand-over
        try {
            work(0);
        } catch (...) {
            failures[0] = std::current_exception();
        }
        return failures;
    }
    for (std::size_t i = 0; i < count; ++i)
        pool_.start([this, &work, &failures, i] {
            try {
                work(i);
            } catch (...) {
                failures[i] = std::current_exception();
            }
            done_.release();
        });
    done_.acquire(static_cast<int>(count));
    return failures;
}

}  // namespace dokivo::platform
