#include "platform/Process.h"
#include "platform/detail/Process.h"

#include <windows.h>

namespace dokivo::platform {

void detail::startWithoutWindow(QProcess& process) {
    process.setCreateProcessArgumentsModifier(
        [](QProcess::CreateProcessArguments* args) { args->flags |= CREATE_NO_WINDOW; });
}

QString shortPathName(const QString& path) {
    const std::wstring longPath = path.toStdWString();
    const DWORD length = ::GetShortPathNameW(longPath.c_str(), nullptr, 0);
    if (length == 0)
        return path;
    std::wstring shortPath(length, L'\0');
    const DWORD written = ::GetShortPathNameW(longPath.c_str(), shortPath.data(), length);
    if (written == 0 || written >= length)
        return path;
    shortPath.resize(written);
    return QString::fromStdWString(shortPath);
}

}  // namespace dokivo::platform
