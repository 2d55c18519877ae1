#include "processing/SpecialKinds.h"

namespace dokivo {

bool passesFormatoateneFilter(const QString&, const QString& formatMarker, const QString&) {
    return formatMarker.isEmpty();
}

PodsitirResult applyPodsitir(const QString&, const QString&) {
    return {};
}

}  // namespace dokivo
