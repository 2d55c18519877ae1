#pragma once

#include <QString>

#include "processing/PassHost.h"

namespace dokivo {

// What the scan driver and the scheduler need beyond the folder pass's host: the schedule's
// visible state (the run button's caption and the schedule timer) and the close that waited for a pass.
// A host without them (the tests' own) ignores them.
class ScanHost : public PassHost {
  public:
    virtual void setRunCaption(const QString&) {}
    virtual void setTimerEnabled(bool) {}
    // Ask for the main window to close (end of an unattended run, or a close that waited for
    // the pass).
    virtual void requestClose() {}
};

}  // namespace dokivo
