#include "logs/OperationsLog.h"

#include "platform/Clock.h"
#include "platform/DateText.h"

namespace dokivo {

const QString& OperationsLog::stampNow() {
    const QDateTime now = clock_.now();
    const qint64 second = now.toSecsSinceEpoch();
    // Formatting through the locale is the costly part of a line; one stamp serves a second.
    if (second != stampSecond_) {
        stampSecond_ = second;
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
    ++generation_;
    if (listener_)
        listener_->listCleared();
}

}  // namespace dokivo
