#include "logs/OperationsLog.h"

#include "platform/Clock.h"
#include "platform/DateText.h"

namespace dokivo {

const QString& OperationsLog::stampNow() {
    // Reading the local time and formatting it through the locale are the costly parts of a
    // line; one stamp serves a second, and the second is told from the plain epoch count.
    if (clock_.nowMSecsSinceEpoch() / 1000 != stampSecond_) {
        const QDateTime now = clock_.now();
        stampSecond_ = now.toSecsSinceEpoch();
        stamp_ = platform::operationStamp(now);
    }
    return stamp_;
}

void OperationsLog::add(const QString& message) {
    lines_.push_back(stampNow() + message);
    if (listener_)
        listener_->lineAdded(lines_.back());
}

void OperationsLog::clear() {
    lines_.clear();
    if (listener_)
        listener_->listCleared();
}

}  // namespace dokivo
