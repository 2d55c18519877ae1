#include "platform/TerminationSignals.h"

#include <windows.h>

#include <QCoreApplication>

namespace dokivo::platform {

namespace {

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI onConsoleEvent(DWORD event) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT)
        return TRUE;
    // Console closed, user logging off, system shutting down: the process ends as soon as this
    // returns, so it does not; the program's own end after its orderly close ends the process
    // (within the few seconds the system allows).
    Sleep(INFINITE);
    return TRUE;
}

}  // namespace

void quitOnTerminationSignals(QCoreApplication&) {
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

}  // namespace dokivo::platform
