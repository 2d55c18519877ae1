#pragma once

#include <QString>

namespace dokivo {

// The start-up flags of the command line ("run:", "timer:", "verifica:", "simula:"): text, "y" means set.
struct StartupFlags {
    QString run_flag;
    QString timer_flag;
    // Reports that change nothing: the configuration check and the plan of a pass.
    QString verifica_flag;
    QString simula_flag;
    bool autorun() const { return run_flag == QLatin1String("y"); }
    bool scheduled() const { return timer_flag == QLatin1String("y"); }
    bool checksConfiguration() const { return verifica_flag == QLatin1String("y"); }
    bool simulatesPass() const { return simula_flag == QLatin1String("y"); }
    bool reportOnly() const { return checksConfiguration() || simulatesPass(); }
};

}  // namespace dokivo
