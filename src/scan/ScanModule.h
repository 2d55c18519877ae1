#pragma once

#include <QString>

#include "config/Settings.h"
#include "config/StartupFlags.h"
#include "logs/OperationsLog.h"
#include "processing/PassEnvironment.h"
#include "processing/SlotContext.h"
#include "scan/ImmediateFiling.h"
#include "scan/Scheduler.h"

namespace dokivo {

class ScanHost;

namespace platform {
class Clock;
}

// The state the scan driver and the scheduler work on: the settings model, the slot context, the
// start-up flags, the schedule, the operations list and the record-file counter. The main module
// is one; lower layers get only the parts they need.
class ScanModule {
  public:
    ScanModule(ScanHost& host, platform::Clock& clock, AppFolders folders);

    Settings settings;
    SlotContext slot;
    StartupFlags flags;
    ScheduleState schedule;
    OperationsLog operations;
    qint64 record_file_counter = 0;
    // Not a setting: how many documents a folder pass delivers together.
    DeliveryLimits delivery_limits;
    AppFolders folders;

    ScanHost& host;
    platform::Clock& clock;

    // A scan pass is running: a timer tick or a button press while it waits must not start another.
    bool pass_running = false;
    // The window was asked to close while a pass ran; it closes when the pass ends.
    bool close_pending = false;
    // Files the last pass passed over because another program was still writing them.
    int files_still_arriving = 0;
    // Made the first time the schedule runs with archiviazione_immediata on.
    std::unique_ptr<ImmediateFiling> immediate_filing;

    void addLine(const QString& message) { operations.add(message); }
    void addLineAndRefresh(const QString& message);

    // Appends the operations list to the tracking file in the general log folder and empties it;
    // a flush that cannot write keeps the lines.
    void flushTrackingFile();

    // What a folder pass over the current slot context works with: settings and context read only.
    PassEnvironment passEnvironment();
};

}  // namespace dokivo
