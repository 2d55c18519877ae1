#pragma once

#include <QString>

namespace dokivo::platform {

// Classic run-time error numbers, as the operation lines report them.
namespace errnum {
inline constexpr int InvalidCall = 5;
inline constexpr int BadFileName = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int DeviceIo = 57;
inline constexpr int DiskFull = 61;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;
}  // namespace errnum

// A failed operation: the run-time error number, its description and the path it concerns. The
// core reports failures this one way; long procedures catch it in their single error handler and
// report number and description in an operation line.
class RunError {
  public:
    explicit RunError(int number, QString path = {});

    int number() const { return number_; }
    // The Italian description of the number.
    QString description() const;
    // The file or folder the failure concerns; empty when it concerns none.
    const QString& path() const { return path_; }

  private:
    int number_;
    QString path_;
};

// A failure of the document being copied rather than of the place it goes to: it cannot be
// opened or read, or it changed while it was copied. Such a failure concerns that one document
// only, so the folder pass reports it and goes on with the next one.
class SourceError : public RunError {
  public:
    using RunError::RunError;
};

QString describeError(int number);

// Housekeeping that carries on whatever happens to it (removing leftovers, handing over a copy,
// retention): a failure of `work` ends `work` and nothing else.
template <typename Work>
void ignoringFailures(Work&& work) {
    try {
        work();
    } catch (const RunError&) {
    }
}

// Maps an errno value to its run-time number. `pathContext` chooses 76 over 53 for a missing
// folder rather than a missing file.
int errorNumberFromErrno(int err, bool pathContext = false);

[[noreturn]] void throwFromErrno(int err, const QString& path, bool pathContext = false);
[[noreturn]] void throwSourceErrorFromErrno(int err, const QString& path);

}  // namespace dokivo::platform
