#include "platform/Process.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>

#include "platform/RunError.h"
#include "platform/detail/Process.h"

namespace dokivo::platform {

namespace {

// Qt's own text says only that the start failed; the usual causes get their classic description.
QString startFailure(const QString& program, const QProcess& process) {
    const QFileInfo info(program);
    if (!info.exists())
        return describeError(errnum::FileNotFound);
    if (!info.isExecutable())
        return describeError(errnum::PermissionDenied);
    return process.errorString();
}

}  // namespace

OutsideProgram::~OutsideProgram() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(-1);
    }
}

bool OutsideProgram::start(const QString& program, const QStringList& arguments) {
    process_.setProgram(program);
    process_.setArguments(arguments);
    process_.setStandardInputFile(QProcess::nullDevice());
    process_.setStandardOutputFile(QProcess::nullDevice());
    process_.setStandardErrorFile(QProcess::nullDevice());
    detail::startWithoutWindow(process_);
    process_.start();
    if (process_.waitForStarted(-1))
        return true;
    failure_ = startFailure(program, process_);
    return false;
}

OutsideProgram::End OutsideProgram::waitForEnd(int limitMs, const std::function<void()>& meanwhile,
                                               int intervalMs) {
    QElapsedTimer waited;
    waited.start();
    while (process_.state() != QProcess::NotRunning) {
        const qint64 left = limitMs - waited.elapsed();
        if (left <= 0) {
            process_.kill();
            process_.waitForFinished(-1);
            return End::Ended;
        }
        const qint64 slice = meanwhile ? std::min<qint64>(left, intervalMs) : left;
        if (process_.waitForFinished(static_cast<int>(slice)))
            break;
        if (meanwhile)
            meanwhile();
    }
    return End::Finished;
}

bool OutsideProgram::reportedFailure() const {
    return process_.exitStatus() == QProcess::CrashExit || process_.exitCode() != 0;
}

}  // namespace dokivo::platform
