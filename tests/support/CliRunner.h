#pragma once

// Runs the real console program with its own instance key, so tests do not meet each other's
// lock, and collects what it printed.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <QUuid>
#include "support/QtPrinters.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace dokivo::test {

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

inline QProcessEnvironment cliEnvironment(const QString& instanceKey = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DOKIVO_INSTANCE_KEY", instanceKey.isEmpty()
                                          ? "dokivo-test-" + QUuid::createUuid().toString(QUuid::Id128)
                                          : instanceKey);
#ifdef Q_OS_WIN
    // A copy of the program in a folder of its own finds its DLLs in the build's program folder.
    const QString bin =
        QDir::toNativeSeparators(QFileInfo(QStringLiteral(DOKIVO_BIN_DIR)).absoluteFilePath());
    env.insert("PATH", bin + QLatin1Char(';') + env.value("PATH"));
#endif
    return env;
}

// Copies the console program into `folder` (ending with the separator), as an installation
// would have it; returns the copy's path.
inline QString installCliCopy(const QString& folder) {
    const QString copy = folder + QFileInfo(QStringLiteral(DOKIVO_CLI_PATH)).fileName();
    if (!QFile::copy(QStringLiteral(DOKIVO_CLI_PATH), copy))
        return {};
    QFile::setPermissions(copy, QFile::permissions(QStringLiteral(DOKIVO_CLI_PATH)));
    return copy;
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

inline CliResult runCli(const QStringList& args, const QString& program = QStringLiteral(DOKIVO_CLI_PATH),
                        const QProcessEnvironment& env = cliEnvironment(), int timeoutMs = 120000) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    CliResult r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
#ifdef Q_OS_WIN
    r.out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));  // the console's text mode
#endif
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

}  // namespace dokivo::test
