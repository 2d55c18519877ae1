#include "platform/ArrivalCheck.h"

#include "platform/detail/ArrivalCheck.h"

namespace dokivo::platform {

namespace {
constexpr qint64 kSettleMs = 2000;

bool tooYoung(const QDateTime& modified, const QDateTime& now) {
    return modified.msecsTo(now) < kSettleMs;
}
}  // namespace

bool isStillArriving(const QString& path, const QDateTime& modified, const QDateTime& now) {
    switch (detail::askForWriters(path)) {
        case detail::Writers::None:
            return false;
        case detail::Writers::Some:
            return true;
        case detail::Writers::Unknown:
            break;
    }
    return tooYoung(modified, now);
}

}  // namespace dokivo::platform
