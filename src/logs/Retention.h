#pragma once

#include <QDate>
#include <QString>

namespace dokivo {

inline constexpr int kRecordRetentionDays = 45;

// Pass record files are named "dokivolog" + day + time + "_" + sequence + ".txt".
inline const QString kRecordFilePrefix = QStringLiteral("dokivolog");
inline const QString kRecordFileExtension = QStringLiteral(".txt");

// Deletes the pass record files ("dokivolog*.txt", any letter case) lying directly in `folder`
// whose creation date is more than 45 days from `today`, in the past or in the future. Only
// regular files are touched; every failure is ignored.
void sweepOldRecordFiles(const QString& folder, const QDate& today);

}  // namespace dokivo
