#include "logs/Retention.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/RunError.h"

namespace dokivo {

void sweepOldRecordFiles(const QString& folder, const QDate& today) {
    platform::ignoringFailures([&] {
        for (const platform::FileEntry& file : platform::listRegularFiles(folder)) {
            if (!file.nameIsText)
                continue;
            if (!file.name.startsWith(kRecordFilePrefix, Qt::CaseInsensitive) ||
                !file.name.endsWith(kRecordFileExtension, Qt::CaseInsensitive))
                continue;
            if (std::abs(today.daysTo(file.created.date())) <= kRecordRetentionDays)
                continue;
            platform::ignoringFailures(
                [&] { platform::removeFile(platform::withTrailingSeparator(folder) + file.name); });
        }
    });
}

}  // namespace dokivo
