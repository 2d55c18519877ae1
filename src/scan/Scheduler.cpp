#include "scan/Scheduler.h"

#include "platform/Clock.h"
#include "scan/ImmediateFiling.h"
#include "scan/ScanDriver.h"
#include "scan/ScanHost.h"
#include "scan/ScanModule.h"

namespace dokivo {

namespace {

void setTimer(ScanModule& module, bool enabled, const QString& caption) {
    module.schedule.caption = caption;
    module.host.setTimerEnabled(enabled);
    module.host.setRunCaption(caption);
    followInputFolders(module);
}

}  // namespace

const QStringList& offeredIntervals() {
    static const QStringList intervals{QStringLiteral("1 minuto"),  QStringLiteral("5 minuti"),
                                       QStringLiteral("10 minuti"), QStringLiteral("15 minuti"),
                                       QStringLiteral("20 minuti"), QStringLiteral("30 minuti"),
                                       QStringLiteral("60 minuti")};
    return intervals;
}

qint64 periodSeconds(const QString& timer_delta) {
    const QString head = timer_delta.left(2).trimmed();
    qint64 minutes = 0;
    qsizetype digits = 0;
    while (digits < head.size() && head[digits].isDigit())
        minutes = minutes * 10 + head[digits++].digitValue();
    if (digits == 0)
        minutes = 5;
    return minutes * 60;
}

void scheduleTick(ScanModule& module) {
    // A tick that arrives while a pass waits for the encryption tool is dropped: the next tick
    // after the pass looks at the clock again.
    if (module.pass_running)
        return;
    ScheduleState& s = module.schedule;
    s.tick_count += 1;
    if (s.tick_count == 10)
        s.tick_count = 2;
    if (s.tick_count == 1)
        return;

    const QDateTime now = module.clock.now();
    const bool elapsed = !s.last_pass_time.isValid() ||
                         s.last_pass_time.secsTo(now) > periodSeconds(module.settings.timer_delta);
    if (!elapsed)
        return;
    s.last_pass_time = now;
    runScheduledPass(module);
}

void runScheduledPass(ScanModule& module) {
    if (module.pass_running)
        return;
    module.addLine(QStringLiteral(" Eseguo controllo directory "));
    module.files_still_arriving = 0;
    runScanPass(module);
    followInputFolders(module);
    if (module.immediate_filing)
        module.immediate_filing->passEnded();
}

void runButtonPressed(ScanModule& module) {
    if (!module.flags.scheduled()) {
        runScanPass(module);
        return;
    }
    if (module.schedule.caption != kCaptionStop) {
        setTimer(module, true, kCaptionStop);
        module.addLine(QStringLiteral(" ") + QStringLiteral(" Schedulazione Avviata"));
        module.schedule.tick_count = 0;
        scheduleTick(module);
    } else {
        setTimer(module, false, kCaptionRun);
        module.addLine(QStringLiteral(" ") + QStringLiteral(" Schedulazione Interrotta"));
    }
}

void startScheduleAtLaunch(ScanModule& module) {
    setTimer(module, true, kCaptionStop);
    scheduleTick(module);
}

}  // namespace dokivo
