#include "platform/TextCodec.h"

namespace dokivo::platform {

QByteArray encodeRecordText(const QString& text) {
    return text.toUtf8();
}

}  // namespace dokivo::platform
