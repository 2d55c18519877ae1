#include "app/CommandLine.h"
#include "app/MainModule.h"
#include "support/TestSupport.h"

using namespace dokivo;

TEST(GetCommandLine, SplitsAtBlanksAndTabsIntoElevenEntriesAndIgnoresTheRest) {
    const auto args = GetCommandLine("  ini:/conf\t\trun:y   timer:n ");
    ASSERT_EQ(args.size(), 11u);
    EXPECT_EQ(std::vector<QString>(args.begin(), args.begin() + 5),
              (std::vector<QString>{"", "ini:/conf", "run:y", "timer:n", ""}));
    EXPECT_EQ(GetCommandLine("a1 a2 a3 a4 a5 a6 a7 a8 a9 a10 run:y a12")[10], "a10");
    EXPECT_EQ(GetCommandLine("a b c", 2).size(), 3u);
}

TEST(CommandLineKeywords, SetTheFolderAndTheFlagsByTheirLowerCaseKeywordsTheLastOneWinning) {
    const struct {
        const char* line;
        const char* folder;
        const char* run;
        const char* timer;
        bool scheduled;
        bool reportOnly;
    } rows[] = {
        {"", "/opt/dokivo/", "", "", false, false},
        {"ini:/srv/conf", "/srv/conf", "", "", false, false},
        {"ini:", "", "", "", false, false},
        {"xini:/srv/conf", ":/srv/conf", "", "", false, false},  // matched anywhere, value at a fixed place
        {"ini:/Program Files/conf", "/Program", "", "", false, false},
        {"INI:/srv RUN:Y VERIFICA:y", "/opt/dokivo/", "", "", false, false},
        {"run:Y timer:Y", "/opt/dokivo/", "y", "y", true, false},
        {"timer:yes simula:yes", "/opt/dokivo/", "", "yes", false, false},
        {"ini:/a verifica:Y", "/a", "", "", false, true},
        {"simula:y", "/opt/dokivo/", "", "", false, true},
        {"ini:/a run:y ini:/b run:n", "/b", "n", "", false, false},
        {"a1 a2 a3 a4 a5 a6 a7 a8 a9 a10 run:y", "/opt/dokivo/", "", "", false,
         false},  // the 11th is ignored
    };
    for (const auto& row : rows) {
        QString folder = "/opt/dokivo/";
        StartupFlags flags;
        applyCommandLine(GetCommandLine(row.line), folder, flags);
        EXPECT_EQ(folder, row.folder) << row.line;
        EXPECT_EQ(flags.run_flag, row.run) << row.line;
        EXPECT_EQ(flags.timer_flag, row.timer) << row.line;
        EXPECT_EQ(flags.scheduled(), row.scheduled) << row.line;
        EXPECT_EQ(flags.reportOnly(), row.reportOnly) << row.line;
    }
    StartupFlags flags;
    QString folder;
    applyCommandLine(GetCommandLine("verifica:y simula:y"), folder, flags);
    EXPECT_TRUE(flags.checksConfiguration() && flags.simulatesPass());
}
