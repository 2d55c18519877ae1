// The start-up past its refusals (told by the console program's test): where the configuration is
// read, what the list opens with, and the schedule or the one pass the command line asks for.

#include "app/Startup.h"
#include "support/TestSupport.h"

using namespace dokivo;
using namespace dokivo::test;

TEST(Startup, ReadsTheNamedOrProgramFolderAndOpensScheduledOrRunsOnePass) {
    using enum StartupOutcome;
    const struct {
        const char* args;
        const char* folder;
        StartupOutcome outcome;
        const char* lines;  // after the system line (the console program's test), '|' between them
        bool timer;
        const char* runCaption;
    } rows[] = {
        {"", "app/", Idle, "", false, ""},
        {"ini:{conf} timer:y", "conf/", Idle, " Apertura  DOKIVO schedulato  10 minuti", true, "Interrompi"},
        {"ini:{conf} run:y", "conf/", RunFinished, " Apertura  DOKIVO autorun  ", false, ""},
        // run:y stops the schedule again without a pass
        {"ini:{conf} run:y timer:y", "conf/", RunFinished,
         " Apertura  DOKIVO autorun  |  Schedulazione Interrotta", false, "Elaborazione"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args);
        ModuleFixture s;
        for (const char* folder : {"app", "conf"})
            s.tree.write(folder + QString("/Dokivo.ini"), "[TUTTI]\r\ntimer_delta=10 minuti\r\n");
        EXPECT_EQ(Form_Load(s.m(), QString(row.args).replace("{conf}", s.tree.path("conf"))), row.outcome);
        EXPECT_EQ(s.messages().mid(1), QString(row.lines).split('|'));
        EXPECT_EQ(s.m().settings.config_dir, s.tree.path(row.folder));
        EXPECT_TRUE(s.frontend.trayIcon);
        EXPECT_EQ(s.frontend.timerEnabled, row.timer);
        EXPECT_EQ(s.frontend.runCaption, row.runCaption);
    }
}
