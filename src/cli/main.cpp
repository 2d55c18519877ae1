// dokivo-cli: the same start-up, passes and close as the desktop program, without a window.
//   dokivo-cli ini:DIR run:y     one pass, then close
//   dokivo-cli ini:DIR timer:y   the schedule, until SIGINT or SIGTERM
//   dokivo-cli ini:DIR           the start-up alone, then close
//   dokivo-cli ini:DIR verifica:y  the configuration check on standard output; changes nothing
//   dokivo-cli ini:DIR simula:y    what the next pass would do; changes nothing

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>
#include <cstdio>

#include "app/MainModule.h"
#include "app/ReportMode.h"
#include "app/Startup.h"
#include "cli/ConsoleFrontend.h"
#include "instance/SingleInstance.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/TerminationSignals.h"

namespace {

enum ExitCode { kOk = 0, kRefused = 2, kAlreadyRunning = 3 };

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(dokivo::kApplicationTitle);
    const QString commandLine = QCoreApplication::arguments().mid(1).join(QLatin1Char(' '));
    // A report changes nothing: it takes no instance lock, so it may run beside a scheduled one.
    if (dokivo::reportRequested(commandLine)) {
        dokivo::ConsoleFrontend frontend;
        const std::optional<dokivo::ReportOutcome> report =
            dokivo::runRequestedReports(frontend, commandLine);
        if (!report)
            return kRefused;
        QTextStream out(stdout);
        out.setEncoding(QStringConverter::Utf8);
        for (const QString& line : report->lines)
            out << line << '\n';
        return report->exitStatus();
    }

    dokivo::SingleInstance instance;
    if (!instance.acquire()) {
        std::fputs(
            "Dokivo e' gia' in esecuzione: un'altra istanza elabora le cartelle. "
            "Chiuderla prima di avviarne un'altra.\n",
            stderr);
        return kAlreadyRunning;
    }
    dokivo::platform::quitOnTerminationSignals(app);

    dokivo::platform::SystemClock clock;
    dokivo::ConsoleFrontend frontend;
    const QString appFolder = dokivo::platform::applicationFolder();
    dokivo::MainModule module(frontend, clock, {appFolder, dokivo::platform::recordFolderFor(appFolder)});
    frontend.attach(module);

    dokivo::readOperatingSystemFacts(module);
    const dokivo::StartupOutcome outcome = dokivo::startUp(module, commandLine);
    if (outcome == dokivo::StartupOutcome::Refused)
        return kRefused;
    if (outcome == dokivo::StartupOutcome::Idle && module.flags.scheduled())
        app.exec();
    dokivo::closeDown(module);
    frontend.refreshList();
    return kOk;
}
