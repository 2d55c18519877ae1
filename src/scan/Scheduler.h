#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace dokivo {

class ScanModule;

inline constexpr int kScheduleTickMs = 65535;
inline const QString kCaptionRun = QStringLiteral("Elaborazione");
inline const QString kCaptionStop = QStringLiteral("Interrompi");

// The schedule's state: the run button's caption (which tells whether the schedule runs), the
// tick count and the start time of the last pass the timer started (empty until the first one).
struct ScheduleState {
    QString caption = kCaptionRun;
    int tick_count = 0;
    QDateTime last_pass_time;
};

// The periods the settings window offers for timer_delta.
const QStringList& offeredIntervals();

// The period in seconds: the number read from the first two characters of timer_delta, times 60;
// a text that does not start with a number counts as the default five minutes.
qint64 periodSeconds(const QString& timer_delta);

// A tick of the schedule timer: runs a pass when more than the period has passed since the last scheduled
// one.
void scheduleTick(ScanModule& module);

// A pass the schedule starts, on a tick or on a change in the input folders; nothing while a pass
// runs.
void runScheduledPass(ScanModule& module);

// The run button: in manual mode one pass; in scheduled mode it starts or stops the schedule.
void runButtonPressed(ScanModule& module);

// Start-up with timer:y: the schedule runs at once, without the start line.
void startScheduleAtLaunch(ScanModule& module);

}  // namespace dokivo
