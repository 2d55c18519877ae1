#pragma once

namespace dokivo {

class MainModule;

// Completes a delivery that a crash interrupted after its copy was in place.
void recoverInterruptedDelivery(MainModule& module);

}  // namespace dokivo
