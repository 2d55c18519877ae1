#include "platform/Clock.h"

#include <QThread>

namespace dokivo::platform {

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

qint64 SystemClock::nowMSecsSinceEpoch() const {
    return QDateTime::currentMSecsSinceEpoch();
}

void SystemClock::sleepMs(int ms) {
    QThread::msleep(static_cast<unsigned long>(ms));
}

}  // namespace dokivo::platform
