#include "app/Startup.h"
#include "scan/Scheduler.h"
#include "support/PassScenario.h"

using namespace dokivo;
using namespace dokivo::test;

// A row starts the program with a command line (the configuration in conf/, or without "ini:" in
// the program's folder; the line is split at blanks and tabs into ten words at most, keywords in
// small letters, values in any case, the last one winning), checks the line it opened with, and
// follows a script of the run button
// ("press"), real schedule-timer ticks that come every 65.5 seconds ("tick*N"), a tick while a pass runs
// ("busy") and a minute's wait ("wait"), checking the passes so far ("=N") and whether the
// schedule runs ("on"/"off": the timer and the button's caption).
TEST(Scheduler, StartsAsTheCommandLineSaysAndRunsAPassOnceThePeriodSinceTheLastOneHasGoneBy) {
    const struct {
        const char* args;
        const char* delta;
        const char* opening;  // after the system line; null: not looked at
        const char* script;
    } rows[] = {
        {"", "1 minuto", "", "off press press =2 off"},  // by hand
        {"INI:{x} RUN:y timer:Y", "1 minuto", " Apertura  DOKIVO schedulato  1 minuto", "on tick*12 =12"},
        // the stop keeps the time
        {"timer:y", "5 minuti", nullptr, "tick =1 press off wait press on tick*2 =1 tick*2 =2"},
        {"timer:y", "1 minuto", nullptr, "busy =0 tick =1"},
        // the period is read from the first two characters; no number: 5 minutes (262 s: not yet)
        {"timer:y", "100 minuti", nullptr, "tick =1 tick*9 =1 tick =2"},
        {"timer:y", "minuti", nullptr, "on =0 tick =1 tick*4 =1 tick =2"},
        {"run:y timer:y", "1 minuto", " Apertura  DOKIVO autorun  ", "=0 off"},  // stops the schedule
        {"timer:yes run:Y", "1 minuto", " Apertura  DOKIVO autorun  ", "=1 off"},
        {"ini:{nowhere} run:y ini:{conf}\t\trun:n  a a a a a run:y", "1 minuto", "", "off =0"},  // 11th
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.args) + " " + row.script);
        PassTree t;
        t.set(QString("timer_delta=") + row.delta);
        t.saveIni();
        const QString args =
            QString(row.args).isEmpty() ? QString() : t.expand(QString("ini:{conf} ") + row.args);
        if (args.isEmpty())  // a wrong folder finds no configuration
            QFile::rename(t.tree.path("conf/Dokivo.ini"), t.tree.path("app/Dokivo.ini"));
        EXPECT_EQ(startUp(t.m(), args), QString(row.opening).contains("autorun") ? StartupOutcome::RunFinished
                                                                                 : StartupOutcome::Idle);
        EXPECT_TRUE(t.frontend.trayIcon);
        if (row.opening) {
            EXPECT_EQ(t.messages().value(1), row.opening);
        }
        const auto count = [&](const char* line) { return t.messages().filter(line).size(); };
        for (const QString& step : QString(row.script).split(' ')) {
            const int times = step.contains('*') ? step.section('*', 1).toInt() : 1;
            for (int i = 0; i < times; ++i) {
                if (step == "press")
                    runButtonPressed(t.m());
                else if (step == "wait")
                    t.clock.sleepMs(60000);
                t.m().pass_running = step == "busy";
                if (step.startsWith("tick") || step == "busy") {
                    t.clock.sleepMs(kScheduleTickMs);
                    scheduleTick(t.m());
                }
                t.m().pass_running = false;
            }
            if (step.startsWith('=')) {
                EXPECT_EQ(count(" Lettura cartella pricipale "), step.mid(1).toInt());
            }
            if (step == "on" || step == "off") {
                EXPECT_TRUE(t.frontend.timerEnabled == (step == "on") &&
                            (t.frontend.runCaption == "Interrompi") == (step == "on"))
                    << step.toStdString();
            }
        }
        EXPECT_EQ(count(" Eseguo controllo directory "),
                  t.frontend.timerEnabled ? count(" Lettura cartella pricipale ") : 0);
    }
}
