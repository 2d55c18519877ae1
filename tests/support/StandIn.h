#pragma once

// Puts the stand-in program (tests/support/StandInProgram.cpp) where a test needs an outside
// program, with the steps it is to take.

#include <QFile>
#include <QStringList>
#include <stdexcept>

namespace dokivo::test {

inline void installStandIn(const QString& path, const QStringList& steps) {
    QFile::remove(path);
    QFile stepsFile(path + QStringLiteral(".steps"));
    if (!QFile::copy(QStringLiteral(DOKIVO_STANDIN_PATH), path) || !stepsFile.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot install the stand-in program");
    stepsFile.write(steps.join(QLatin1Char('\n')).toUtf8() + '\n');
}

}  // namespace dokivo::test
