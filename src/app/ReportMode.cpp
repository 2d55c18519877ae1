#include "app/ReportMode.h"

#include "app/CommandLine.h"
#include "app/ConfigurationCheck.h"
#include "app/MainModule.h"
#include "app/PassSimulation.h"
#include "app/Startup.h"
#include "platform/Clock.h"
#include "platform/Paths.h"

namespace dokivo {

bool reportRequested(const QString& commandLine) {
    QString config_dir;
    StartupFlags flags;
    applyCommandLine(splitCommandLine(commandLine), config_dir, flags);
    return flags.reportOnly();
}

std::optional<ReportOutcome> runRequestedReports(Frontend& frontend, const QString& commandLine) {
    platform::SystemClock clock;
    const QString appFolder = platform::applicationFolder();
    // The record folder is never used here; the program's own one is named so none is made.
    MainModule module(frontend, clock, {appFolder, appFolder});
    readOperatingSystemFacts(module);
    if (!findConfiguration(module, commandLine))
        return std::nullopt;
    ReportOutcome outcome;
    if (module.flags.checksConfiguration()) {
        const QStringList problems = configurationProblems(module);
        outcome.lines += configurationReport(module.settings.iniPath(), problems);
        outcome.configurationChecked = true;
        outcome.problemsFound = !problems.isEmpty();
    }
    if (module.flags.simulatesPass())
        outcome.lines += simulatePass(module);
    return outcome;
}

}  // namespace dokivo
