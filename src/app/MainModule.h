#pragma once

#include <QString>

#include "app/Frontend.h"
#include "app/Settings.h"
#include "logs/OperationsLog.h"
#include "scan/Scheduler.h"
#include "scan/SlotContext.h"

namespace dokivo {

namespace platform {
class Clock;
}

// Start-up flags: text, "y" means set.
struct StartupFlags {
    QString run_flag;
    QString timer_flag;
    // Reports that change nothing: the configuration check and the plan of a pass.
    QString verifica_flag;
    QString simula_flag;
    bool autorun() const { return run_flag == QLatin1String("y"); }
    bool scheduled() const { return timer_flag == QLatin1String("y"); }
    bool checksConfiguration() const { return verifica_flag == QLatin1String("y"); }
    bool simulatesPass() const { return simula_flag == QLatin1String("y"); }
    bool reportOnly() const { return checksConfiguration() || simulatesPass(); }
};

// Folders the program itself owns.
struct AppFolders {
    QString application;  // holds the program file and the encryption tool; ends with the separator
    QString records;      // pass record files and their retention; ends with the separator
};

// The one state object of the program, passed by reference to every procedure.
class MainModule {
  public:
    MainModule(Frontend& frontend, platform::Clock& clock, AppFolders folders);

    Settings settings;
    SlotContext slot;
    StartupFlags flags;
    ScheduleState schedule;
    OperationsLog operations;
    qint64 record_file_counter = 0;
    AppFolders folders;

    Frontend& frontend;
    platform::Clock& clock;

    // A scan pass is running: a timer tick or a button press while it waits must not start another.
    bool pass_running = false;
    // The window was asked to close while a pass ran; it closes when the pass ends.
    bool close_pending = false;

    void addLine(const QString& message) { operations.add(message); }
    void addLineAndRefresh(const QString& message) {
        operations.add(message);
        frontend.refreshList();
    }
};

}  // namespace dokivo
