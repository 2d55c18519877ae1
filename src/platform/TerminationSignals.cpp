#include "platform/TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#ifndef Q_OS_WIN
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#else
#include <windows.h>
#endif

namespace dokivo::platform {

#ifndef Q_OS_WIN
namespace {

int signalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

}  // namespace

void quitOnTerminationSignals(QCoreApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}
#else
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
#endif

}  // namespace dokivo::platform
