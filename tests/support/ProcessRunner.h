#pragma once

// Runs one of the project's programs (the console program, the tools) and collects what it
// printed.

#include <QProcess>

#include "support/QtPrinters.h"

namespace dokivo::test {

struct ProcessResult {
    int exitCode = -1;  // also when the program crashed, did not start or did not end in time
    QString out;
    QString err;
};

// Each argument reaches the program as it is: no shell, no quoting.
inline ProcessResult runProcess(const QString& program, const QStringList& args,
                                const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    ProcessResult r;
    if (!p.waitForFinished(120000)) {
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

}  // namespace dokivo::test
