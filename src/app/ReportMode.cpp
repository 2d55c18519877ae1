#include "app/ReportMode.h"

#include "app/CommandLine.h"
#include "app/ConfigurationCheck.h"
#include "app/MainModule.h"
#include "app/PassSimulation.h"
#include "app/Startup.h"

namespace dokivo {

bool reportRequested(const QString& commandLine) {
    QString config_dir;
    StartupFlags flags;
    applyCommandLine(GetCommandLine(commandLine), config_dir, flags);
    return flags.reportOnly();
}

std::optional<ReportOutcome> runRequestedReports(MainModule& module, const QString& commandLine) {
    if (!findConfiguration(module, commandLine))
        return std::nullopt;
    ReportOutcome outcome;
    if (module.flags.checksConfiguration()) {
        const QStringList problems = configurationProblems(module);
        outcome.lines += configurationReport(module.settings.iniPath(), problems);
        outcome.problemsFound = !problems.isEmpty();
    }
    if (module.flags.simulatesPass())
        outcome.lines += simulatePass(module);
    return outcome;
}

}  // namespace dokivo
