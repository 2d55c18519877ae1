#include "logs/Retention.h"

#include <QFile>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/RunError.h"

namespace dokivo {

void CANCELLALOG(const QString& folder, const QDate& today) {
    std::vector<platform::FileEntry> files;
    try {
        files = platform::listRegularFiles(folder);
    } catch (const platform::RunError&) {
        return;
    }
    for (const platform::FileEntry& file : files) {
        if (!file.nameIsText)
            continue;
        if (!file.name.startsWith(QLatin1String("dokivolog"), Qt::CaseInsensitive) ||
            !file.name.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
            continue;
        if (std::abs(today.daysTo(file.created.date())) <= kRecordRetentionDays)
            continue;
        try {
            platform::removeFile(platform::withTrailingSeparator(folder) + file.name);
        } catch (const platform::RunError&) {
        }
    }
}

}  // namespace dokivo
