#include "platform/Registry.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/utsname.h>

#include <QFile>
#endif

namespace dokivo::platform {

#ifdef Q_OS_WIN
QString GetRegString(const QString& keyPath, const QString& valueName, const QString& fallback) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, reinterpret_cast<LPCWSTR>(keyPath.utf16()), 0, KEY_QUERY_VALUE,
                      &key) != ERROR_SUCCESS)
        return fallback;
    wchar_t buffer[255];
    DWORD size = sizeof(buffer);
    const LONG status = RegQueryValueExW(key, reinterpret_cast<LPCWSTR>(valueName.utf16()), nullptr, nullptr,
                                         reinterpret_cast<LPBYTE>(buffer), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || size < sizeof(wchar_t))
        return fallback;
    return QString::fromWCharArray(buffer, static_cast<int>(size / sizeof(wchar_t)) - 1);
}
#else
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
#endif

}  // namespace dokivo::platform
