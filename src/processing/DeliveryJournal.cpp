#include "processing/DeliveryJournal.h"

namespace dokivo {

void recoverInterruptedDelivery(MainModule&) {}

}  // namespace dokivo
