#pragma once

#include <QtGlobal>

namespace dokivo {

// How much a folder pass gathers before it makes the copies durable together: a batch ends at
// whichever bound it reaches first. One document means document by document.
struct DeliveryLimits {
    int documents = 64;
    qint64 bytes = 64LL << 20;
    qint64 milliseconds = 2000;
};

}  // namespace dokivo
