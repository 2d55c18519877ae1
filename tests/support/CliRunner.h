#pragma once

// Runs the real console program with its own instance key, so tests do not meet each other's
// lock, and collects what it printed.

#include <QProcess>

#include <QUuid>
#include "support/QtPrinters.h"

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
    return env;
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
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

}  // namespace dokivo::test
