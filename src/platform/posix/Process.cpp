#include "platform/Process.h"
#include "platform/detail/Process.h"

namespace dokivo::platform {

// Off Windows a program gets no window unless it makes one itself.
void detail::startWithoutWindow(QProcess&) {}

QString shortPathName(const QString& path) {
    return path;
}

}  // namespace dokivo::platform
