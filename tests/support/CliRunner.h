#pragma once

// The console program, run with its own instance key so tests do not meet each other's lock.

#include <QDir>
#include <QFileInfo>
#include <QUuid>

#include "support/ProcessRunner.h"

namespace dokivo::test {

using CliResult = ProcessResult;

inline QProcessEnvironment cliEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DOKIVO_INSTANCE_KEY", "dokivo-test-" + QUuid::createUuid().toString(QUuid::Id128));
#ifdef Q_OS_WIN
    // A copy of the program in a folder of its own finds its DLLs in the build's program folder.
    const QString bin =
        QDir::toNativeSeparators(QFileInfo(QStringLiteral(DOKIVO_BIN_DIR)).absoluteFilePath());
    env.insert("PATH", bin + QLatin1Char(';') + env.value("PATH"));
#endif
    return env;
}

inline CliResult runCli(const QStringList& args, const QString& program = QStringLiteral(DOKIVO_CLI_PATH),
                        const QProcessEnvironment& env = cliEnvironment()) {
    return runProcess(program, args, env);
}

}  // namespace dokivo::test
