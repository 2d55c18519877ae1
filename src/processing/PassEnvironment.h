#pragma once

#include <QString>

#include "config/Settings.h"
#include "config/StartupFlags.h"
#include "logs/OperationsLog.h"
#include "processing/DeliveryLimits.h"
#include "processing/PassHost.h"
#include "processing/SlotContext.h"

namespace dokivo {

namespace platform {
class Clock;
}

// Folders the program itself owns; each ends with the separator.
struct AppFolders {
    QString application;  // holds the program file and the encryption tool
    QString records;      // pass record files, the delivery journal, their retention
};

// What a folder pass works with. The settings and the slot context are only read: the scan
// driver has settled them (trailing separators, password folder) before the pass starts. Lines go
// to the operations list; messages, repaints and the operator's fields to the host.
struct PassEnvironment {
    const Settings& settings;
    const SlotContext& slot;
    const StartupFlags& flags;
    const AppFolders& folders;
    OperationsLog& operations;
    PassHost& host;
    platform::Clock& clock;
    // Outlives the pass: one more each time a pass opens its record file.
    qint64& record_file_counter;
    const DeliveryLimits& delivery_limits;
    // One more for each file passed over because another program is still writing it.
    int& files_still_arriving;

    void addLine(const QString& message) const { operations.add(message); }
    void addLineAndRefresh(const QString& message) const {
        operations.add(message);
        host.refreshList();
    }
};

}  // namespace dokivo
