#pragma once

// Runs one of the project's programs (the console program, the tools) and collects what it
// printed; puts the stand-in program (StandInProgram.cpp) where a test needs an outside program.

#include <QProcess>
#include <QUuid>

#include "support/TestSupport.h"

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

// The console program runs with its own instance key, so tests do not meet each other's lock.
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

inline ProcessResult runCli(const QStringList& args, const QString& program = QStringLiteral(DOKIVO_CLI_PATH),
                            const QProcessEnvironment& env = cliEnvironment()) {
    return runProcess(program, args, env);
}

// The stand-in takes the steps written in "<its path>.steps".
inline void installStandIn(const QString& path, const QStringList& steps) {
    QFile::remove(path);
    QFile stepsFile(path + QStringLiteral(".steps"));
    if (!QFile::copy(QStringLiteral(DOKIVO_STANDIN_PATH), path) || !stepsFile.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot install the stand-in program");
    stepsFile.write(steps.join(QLatin1Char('\n')).toUtf8() + '\n');
}

}  // namespace dokivo::test
