#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/MainModule.h"

using namespace dokivo;

namespace {

struct Parsed {
    QString config_dir;
    StartupFlags flags;
};

Parsed parse(const QString& line, const QString& programFolder = "/opt/dokivo/") {
    Parsed p{programFolder, {}};
    applyCommandLine(GetCommandLine(line), p.config_dir, p.flags);
    return p;
}

}  // namespace

TEST(GetCommandLine, SplitsAtBlanksAndTabsIntoElevenEntries) {
    const auto args = GetCommandLine("  ini:/conf\t\trun:y   timer:n ");
    ASSERT_EQ(args.size(), 11u);
    EXPECT_EQ(args[0], "");
    EXPECT_EQ(args[1], "ini:/conf");
    EXPECT_EQ(args[2], "run:y");
    EXPECT_EQ(args[3], "timer:n");
    EXPECT_EQ(args[4], "");
}

TEST(GetCommandLine, IgnoresTheEleventhArgumentAndEverythingAfterIt) {
    const auto args = GetCommandLine("a1 a2 a3 a4 a5 a6 a7 a8 a9 a10 run:y a12");
    ASSERT_EQ(args.size(), 11u);
    EXPECT_EQ(args[10], "a10");
    EXPECT_EQ(parse("a1 a2 a3 a4 a5 a6 a7 a8 a9 a10 run:y").flags.run_flag, "");
    EXPECT_EQ(GetCommandLine("a b c", 2).size(), 3u);
}

TEST(CommandLineKeywords, NoArgumentsLeaveTheProgramFolderAndNoFlags) {
    const Parsed p = parse("");
    EXPECT_EQ(p.config_dir, "/opt/dokivo/");
    EXPECT_EQ(p.flags.run_flag, "");
    EXPECT_FALSE(p.flags.scheduled());
}

TEST(CommandLineKeywords, IniTakesTheTextFromTheFifthCharacter) {
    EXPECT_EQ(parse("ini:/srv/conf").config_dir, "/srv/conf");
    EXPECT_EQ(parse("ini:").config_dir, "");
    EXPECT_EQ(parse("xini:/srv/conf").config_dir, ":/srv/conf");  // matches anywhere, value at a fixed place
    EXPECT_EQ(parse("ini:/Program Files/conf").config_dir, "/Program");
    EXPECT_EQ(parse("INI:/srv").config_dir, "/opt/dokivo/");
}

TEST(CommandLineKeywords, FlagsAreLowerCasedAndOnlyTheLowerCaseKeywordMatches) {
    EXPECT_EQ(parse("run:Y").flags.run_flag, "y");
    EXPECT_EQ(parse("RUN:Y").flags.run_flag, "");
    EXPECT_TRUE(parse("timer:Y").flags.scheduled());
    EXPECT_EQ(parse("timer:yes").flags.timer_flag, "yes");
    EXPECT_FALSE(parse("timer:yes").flags.scheduled());
    EXPECT_TRUE(parse("ini:/a verifica:Y").flags.checksConfiguration());
    EXPECT_FALSE(parse("VERIFICA:y").flags.reportOnly());
    EXPECT_TRUE(parse("simula:y").flags.simulatesPass());
    EXPECT_FALSE(parse("simula:yes").flags.reportOnly());
}

TEST(CommandLineKeywords, ALaterArgumentOverridesAnEarlierOne) {
    const Parsed p = parse("ini:/a run:y ini:/b run:n");
    EXPECT_EQ(p.config_dir, "/b");
    EXPECT_EQ(p.flags.run_flag, "n");
}
