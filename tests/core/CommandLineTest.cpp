#include "app/CommandLine.h"
#include "app/MainModule.h"
#include "support/TestSupport.h"

using namespace dokivo;

TEST(CommandLine, SplitsAtBlanksAndTabsUpToItsLimitAndReadsLowerCaseKeywordsTheLastOneWinning) {
    // The line, then the folder, run:, timer: and whether it only reports
    const std::pair<const char*, const char*> rows[] = {
        {"xini:/srv/conf", ":/srv/conf|||"},  // matched anywhere, value at a fixed place
        {"INI:/srv RUN:Y VERIFICA:y SIMULA:y", "/opt/dokivo/|||"},
        {"run:Y timer:Y", "/opt/dokivo/|y|y|"},
        {"timer:yes simula:yes", "/opt/dokivo/||yes|"},
        {"ini:/a run:y ini:/b run:n", "/b|n||"},
        {"  ini:/conf\t\trun:y   timer:n ", "/conf|y|n|"},
        {"a1 a2 a3 a4 a5 a6 a7 a8 a9 a10 run:y", "/opt/dokivo/|||"},  // the 11th is ignored
    };
    for (const auto& [line, expected] : rows) {
        QString folder = "/opt/dokivo/";
        StartupFlags flags;
        applyCommandLine(GetCommandLine(line), folder, flags);
        EXPECT_EQ(QStringList({folder, flags.run_flag, flags.timer_flag, flags.reportOnly() ? "report" : ""})
                      .join('|'),
                  expected)
            << line;
    }
}
