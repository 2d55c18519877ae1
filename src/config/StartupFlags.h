#pragma once

#include <QString>

namespace dokivo {

// The start-up flags of the command line ("run:", "timer:"): text, "y" means set.
struct StartupFlags {
    QString run_flag;
    QString timer_flag;
    bool autorun() const { return run_flag == QLatin1String("y"); }
    bool scheduled() const { return timer_flag == QLatin1String("y"); }
};

}  // namespace dokivo
