#pragma once

#include "app/Frontend.h"
#include "scan/ScanModule.h"

namespace dokivo {

namespace platform {
class Clock;
}

// The one state object of the program, passed by reference to every procedure: what the scan
// driver and the scheduler work on, and the front end that shows it.
class MainModule : public ScanModule {
  public:
    MainModule(Frontend& frontend, platform::Clock& clock, AppFolders folders);

    Frontend& frontend;
};

}  // namespace dokivo
