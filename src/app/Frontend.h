#pragma once

#include <QString>

#include "scan/ScanHost.h"

namespace dokivo {

// Whoever shows things to the operator: the main window, or standard output for the console
// program. The core never talks to a window directly. Beyond what the passes and the schedule
// ask of it, the start-up and the close of the main window; the console has no window and
// ignores them.
class Frontend : public ScanHost {
  public:
    virtual void setWindowCaption(const QString&) {}
    virtual void showMainWindow() {}
    virtual void setListHorizontalExtent(int) {}
    virtual void addTrayIcon() {}
    virtual void removeTrayIcon() {}
};

}  // namespace dokivo
