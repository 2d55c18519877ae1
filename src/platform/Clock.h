#pragma once

#include <QDateTime>

namespace dokivo::platform {

// The time source of the whole system; tests inject a fake one so that no test waits for the
// real clock.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // The same instant as milliseconds since the epoch; a system clock reads it without the
    // time-zone conversion that now() costs.
    virtual qint64 nowMSecsSinceEpoch() const { return now().toMSecsSinceEpoch(); }
    // Sleeps briefly (the encryption wait loop); a fake clock advances itself instead.
    virtual void sleepMs(int ms) = 0;
};

class SystemClock final : public Clock {
  public:
    QDateTime now() const override;
    qint64 nowMSecsSinceEpoch() const override;
    void sleepMs(int ms) override;
};

}  // namespace dokivo::platform
