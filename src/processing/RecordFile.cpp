#include "processing/RecordFile.h"

#include <QFileInfo>

#include "logs/Retention.h"  // the record files' names, which retention looks for
#include "platform/AtomicFile.h"
#include "platform/DateText.h"
#include "platform/DurableCopy.h"
#include "platform/FileSystem.h"
#include "platform/RunError.h"
#include "platform/TextCodec.h"
#include "processing/Delivery.h"

namespace dokivo {

using platform::RunError;

const QStringList& RecordFile::headerFields() {
    static const QStringList header{
        QStringLiteral("DOKIVO"),         QStringLiteral("DIR_DESTINAZIONE"), QStringLiteral("DATA_RIC"),
        QStringLiteral("DATA_SCANSIONE"), QStringLiteral("ORA_SCANSIONE"),    QStringLiteral("OPERATOR"),
        QStringLiteral("NOME ORIGINALE"), QStringLiteral("DIR_ORIGINALE"),    QStringLiteral("SPOSTAMENTO")};
    return header;
}

QByteArray RecordFile::lineBytes(const QStringList& fields) {
    return platform::encodeRecordText(fields.join(QLatin1Char('\t'))) + "\r\n";
}

void RecordFile::open(const QString& folder, const QDateTime& now, qint64& sequence) {
    const QString stamp = platform::formatDate(now, platform::DatePattern::DD) +
                          platform::formatDate(now, platform::DatePattern::HHMMSS);
    for (;; ++sequence) {
        name_ =
            kRecordFilePrefix + stamp + QLatin1Char('_') + QString::number(sequence) + kRecordFileExtension;
        path_ = folder + name_;
        file_.setFileName(path_);
        if (file_.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            break;
        if (!file_.exists())
            throw RunError(platform::errnum::PermissionDenied, path_);
    }
    write(headerFields());
    flush();
}

void RecordFile::write(const QStringList& fields) {
    const QByteArray bytes = lineBytes(fields);
    if (!file_.isOpen() || file_.write(bytes) != bytes.size())
        throw RunError(file_.error() == QFileDevice::ResourceError ? platform::errnum::DiskFull
                                                                   : platform::errnum::DeviceIo,
                       path_);
}

void RecordFile::flush() {
    if (file_.isOpen())
        platform::syncFile(file_);  // unbuffered: every line is with the system already
}

void RecordFile::close() {
    if (!file_.isOpen())
        return;
    flush();
    file_.close();
}

void RecordFile::handOverPath(const QString& recordPath, const QString& logFolder, quint32 token) {
    if (recordPath.isEmpty())
        return;
    // Another record file of that name (another installation's, another slot's that closed in the
    // same second) is never replaced: the copy takes the first free numbered name, as in a backup
    // folder. A copy of these very lines is there already.
    platform::ignoringFailures([&] {
        firstUsableName(QFileInfo(recordPath).fileName(), [&](const QString& name) {
            const QString target = logFolder + name;
            if (platform::regularFileExists(target) && platform::sameContent(recordPath, target))
                return true;
            return platform::copyFileDurablyUnlessTaken(recordPath, target, token);
        });
    });
}

}  // namespace dokivo
