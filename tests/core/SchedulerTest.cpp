#include "scan/Scheduler.h"
#include "support/PassScenario.h"

using namespace dokivo;
using namespace dokivo::test;

// A row is a script of the run button ("press"), real Timer1 ticks that come every 65.5 seconds
// ("tick*N"), a tick while a pass runs ("busy"), a minute's wait ("wait") and the passes so far
// ("=N"), and the button's state ("on"/"off"). Without a delta the program runs by hand.
TEST(Scheduler, RunsAPassOnceThePeriodSinceTheLastOneHasGoneBy) {
    const std::pair<const char*, const char*> rows[] = {
        {"1 minuto", "press tick*12 =12"},
        {"5 minuti", "press tick =1 press off wait press on tick*2 =1 tick*2 =2"},  // the stop keeps the time
        {"1 minuto", "press busy =0 tick =1"},
        {"100 minuti",
         "press tick =1 tick*9 =1 tick =2"},  // the period is read from the first two characters
        {"minuti", "press on =0 tick =1 tick*4 =1 tick =2"},  // no number: 5 minutes; 262 s: not yet
        {nullptr, "press press =2"},
    };
    for (const auto& [delta, script] : rows) {
        SCOPED_TRACE(script);
        PassTree t;
        if (delta) {
            t.m().flags.timer_flag = "y";
            t.set(QString("timer_delta=") + delta);
        }
        t.saveIni();
        LoadSettings(t.m().settings);
        const auto count = [&](const char* line) { return t.messages().filter(line).size(); };
        for (const QString& step : QString(script).split(' ')) {
            const int times = step.contains('*') ? step.section('*', 1).toInt() : 1;
            for (int i = 0; i < times; ++i) {
                if (step == "press")
                    cmdRun_Click(t.m());
                else if (step == "wait")
                    t.clock.sleepMs(60000);
                t.m().pass_running = step == "busy";
                if (step.startsWith("tick") || step == "busy") {
                    t.clock.sleepMs(kTimer1IntervalMs);
                    Timer1_Timer(t.m());
                }
                t.m().pass_running = false;
            }
            if (step.startsWith('=')) {
                EXPECT_EQ(count(" Lettura cartella pricipale "), step.mid(1).toInt());
            }
            if (step == "on" || step == "off") {  // the button and the timer are the window's test
                EXPECT_EQ(count("  Schedulazione Avviata") - count("  Schedulazione Interrotta"),
                          int(step == "on"));
            }
        }
        EXPECT_EQ(count(" Eseguo controllo directory "), delta ? count(" Lettura cartella pricipale ") : 0);
        EXPECT_EQ(t.frontend.timerEnabled, delta != nullptr);
    }
}
