#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

namespace dokivo::platform {

// An outside program started without a shell: each argument reaches it as it stands, so blanks
// in paths and passwords survive. It gets no window, and its standard streams are tied to the
// null device, so it can neither wait for input nor fill a pipe nobody reads.
class OutsideProgram {
  public:
    enum class End { Finished, Ended };

    OutsideProgram() = default;
    OutsideProgram(const OutsideProgram&) = delete;
    OutsideProgram& operator=(const OutsideProgram&) = delete;
    // A program still running is ended rather than left behind.
    ~OutsideProgram();

    // False when the program could not be started; failure() then says why.
    bool start(const QString& program, const QStringList& arguments);
    const QString& failure() const { return failure_; }

    // Waits for the program to end by itself, at most `limitMs`; a program still running then
    // is ended (Ended). `meanwhile`, when given, is called every `intervalMs` while the program
    // runs, so that the caller's own work (a window's events) goes on during a long wait.
    End waitForEnd(int limitMs, const std::function<void()>& meanwhile = {}, int intervalMs = 50);

    // After Finished: whether the program said it failed, by a non-zero exit status or a crash.
    bool reportedFailure() const;

  private:
    QProcess process_;
    QString failure_;
};

// The short (8.3) form of an existing path on Windows, the path itself elsewhere or when the
// file system keeps no short names.
QString shortPathName(const QString& path);

}  // namespace dokivo::platform
