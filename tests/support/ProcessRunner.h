#pragma once

// Runs one of the project's programs (the console program, the tools) and collects what it
// printed; also the user's orderly stop, as each system sends it.

#include <QProcess>

#include "support/QtPrinters.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace dokivo::test {

struct ProcessResult {
    int exitCode = -1;  // also when the program crashed, did not start or did not end in time
    QString out;
    QString err;
};

// Each argument reaches the program as it is: no shell, no quoting.
inline ProcessResult runProcess(const QString& program, const QStringList& args,
                                const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
                                int timeoutMs = 120000) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    ProcessResult r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
#ifdef Q_OS_WIN
    // The console's text mode ends lines with CR LF.
    r.out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    r.err.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
#endif
    return r;
}

// A process started so that requestOrderlyStop() can reach it: on Windows the console event
// goes to a process group, so the program leads one of its own.
inline void prepareOrderlyStop(QProcess& process) {
#ifdef Q_OS_WIN
    process.setCreateProcessArgumentsModifier(
        [](QProcess::CreateProcessArguments* args) { args->flags |= CREATE_NEW_PROCESS_GROUP; });
#else
    Q_UNUSED(process);
#endif
}

// What a user's stop is on each system: SIGTERM, or Ctrl+Break on Windows. False when it could
// not be sent: wine without a terminal delivers no console event to another process group.
inline bool requestOrderlyStop(QProcess& process) {
#ifdef Q_OS_WIN
    return GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, static_cast<DWORD>(process.processId())) != 0;
#else
    process.terminate();
    return true;
#endif
}

}  // namespace dokivo::test
