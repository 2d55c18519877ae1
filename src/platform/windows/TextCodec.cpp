#include "platform/TextCodec.h"

namespace dokivo::platform {

QByteArray encodeRecordText(const QString& text) {
    return text.toLocal8Bit();  // Qt's local 8-bit encoding on Windows is the ANSI code page
}

}  // namespace dokivo::platform
