#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

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
    // is ended (Ended).
    End waitForEnd(int limitMs);

  private:
    QProcess process_;
    QString failure_;
};

// The short (8.3) form of an existing path on Windows, the path itself elsewhere or when the
// file system keeps no short names.
QString shortPathName(const QString& path);

}  // namespace dokivo::platform
