#include "RunProgram.h"

#include <QProcess>
#include <QStringList>

namespace dokivo::tests {

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& arguments) {
    QStringList qtArguments;
    for (const std::string& argument : arguments)
        qtArguments << QString::fromStdString(argument);

    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(QString::fromStdString(program), qtArguments);
    ProgramResult result;
    if (!process.waitForStarted(-1) || !process.waitForFinished(-1))
        return result;
    result.standardError = process.readAllStandardError().toStdString();
    if (process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    return result;
}

}  // namespace dokivo::tests
