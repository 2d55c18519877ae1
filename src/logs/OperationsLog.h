#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

namespace dokivo {

namespace platform {
class Clock;
}

// Told about every change of the list, so a view can follow it without polling.
class OperationsListener {
  public:
    virtual ~OperationsListener() = default;
    virtual void lineAdded(const QString& line) = 0;
    virtual void listCleared() = 0;
};

// The running list of operation lines, newest last: the clock's stamp followed directly by the
// message text. Emptied only by the tracking-file flush.
class OperationsLog {
  public:
    static constexpr qsizetype kFlushThreshold = 500;

    explicit OperationsLog(const platform::Clock& clock) : clock_(clock) {}

    void add(const QString& message);

    const std::vector<QString>& lines() const { return lines_; }
    qsizetype size() const { return static_cast<qsizetype>(lines_.size()); }
    bool longerThanThreshold() const { return size() > kFlushThreshold; }
    void clear();
    void setListener(OperationsListener* listener) { listener_ = listener; }

  private:
    const QString& stampNow();

    const platform::Clock& clock_;
    std::vector<QString> lines_;
    OperationsListener* listener_ = nullptr;
    qint64 stampSecond_ = -1;  // the second the cached stamp was made for
    QString stamp_;
};

}  // namespace dokivo
