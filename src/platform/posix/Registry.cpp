#include "platform/Registry.h"

#include <sys/utsname.h>

#include <QFile>

namespace dokivo::platform {

namespace {
QString prettyName() {
    QFile file(QStringLiteral("/etc/os-release"));
    if (file.open(QIODevice::ReadOnly)) {
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            if (!line.startsWith(QLatin1String("PRETTY_NAME=")))
                continue;
            QString value = line.mid(12);
            if (value.size() >= 2 && value.front() == QLatin1Char('"') && value.back() == QLatin1Char('"'))
                value = value.mid(1, value.size() - 2);
            if (!value.isEmpty())
                return value;
        }
    }
    utsname names{};
    if (uname(&names) == 0)
        return QString::fromLocal8Bit(names.sysname) + QLatin1Char(' ') +
               QString::fromLocal8Bit(names.release);
    return {};
}
}  // namespace

QString GetRegString(const QString& keyPath, const QString& valueName, const QString& fallback) {
    Q_UNUSED(keyPath);
    if (valueName == QLatin1String("ProductName")) {
        const QString name = prettyName();
        return name.isEmpty() ? fallback : name;
    }
    if (valueName == QLatin1String("SystemRoot")) {
        const QByteArray root = qgetenv("SystemRoot");
        return root.isEmpty() ? QStringLiteral("/etc") : QString::fromLocal8Bit(root);
    }
    return fallback;
}

}  // namespace dokivo::platform
