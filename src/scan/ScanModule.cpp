#include "scan/ScanModule.h"

#include "logs/TrackingFile.h"
#include "scan/ScanHost.h"

namespace dokivo {

ScanModule::ScanModule(ScanHost& host_, platform::Clock& clock_, AppFolders folders_)
    : operations(clock_), folders(std::move(folders_)), host(host_), clock(clock_) {}

void ScanModule::addLineAndRefresh(const QString& message) {
    operations.add(message);
    host.refreshList();
}

void ScanModule::flushTrackingFile() {
    dokivo::flushTrackingFile(operations, trackingFolder(settings.dir_log_generale, folders.records));
}

PassEnvironment ScanModule::passEnvironment() {
    return {settings,        slot,
            flags,           folders,
            operations,      host,
            clock,           record_file_counter,
            delivery_limits, files_still_arriving};
}

}  // namespace dokivo
