#include "platform/Registry.h"

#include <windows.h>

namespace dokivo::platform {

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

}  // namespace dokivo::platform
