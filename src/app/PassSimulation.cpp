#include "app/PassSimulation.h"

namespace dokivo {

QStringList simulatePass(const MainModule&) {
    return {QStringLiteral(" Simulazione non ancora disponibile")};
}

}  // namespace dokivo
