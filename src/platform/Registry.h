#pragma once

#include <QString>

namespace dokivo::platform {

// A string value below HKEY_LOCAL_MACHINE, or `fallback` when it cannot be read. Off Windows
// the two facts the system asks for are answered from the operating system itself:
// "ProductName" is PRETTY_NAME of /etc/os-release (else kernel name and release) and
// "SystemRoot" is the environment variable SystemRoot when set, else "/etc".
QString GetRegString(const QString& keyPath, const QString& valueName, const QString& fallback);

}  // namespace dokivo::platform
