#include "scan/Scheduler.h"
#include "support/PassScenario.h"

using namespace dokivo;
using namespace dokivo::test;

namespace {

struct Schedule : PassTree {
    Schedule() { m().flags.timer_flag = "y"; }
    int passes() const { return messages().filter(" Eseguo controllo directory ").size(); }
    // One real tick of Timer1: the clock moves on by its interval first.
    void tick(int times = 1) {
        for (int i = 0; i < times; ++i) {
            clock.sleepMs(kTimer1IntervalMs);
            Timer1_Timer(m());
        }
    }
    void start(const QString& delta) {
        set("timer_delta=" + delta);
        saveIni();
        LoadSettings(m().settings);
        cmdRun_Click(m());
    }
};
struct Scheduler : Schedule, ::testing::Test {};

}  // namespace

TEST(SchedulerPeriod, IsReadFromTheFirstTwoCharacters) {
    const std::pair<const char*, int> periods[] = {{"5 minuti", 300},   {"1 minuto", 60}, {"60 minuti", 3600},
                                                   {"100 minuti", 600}, {"minuti", 300},  {"", 300}};
    for (const auto& [text, seconds] : periods)
        EXPECT_EQ(periodSeconds(text), seconds) << text;
}

// Ticks come every 65.5 seconds; the first real tick runs the first pass.
TEST(SchedulerTicks, RunAPassOnceThePeriodHasGoneBy) {
    const struct {
        const char* delta;
        std::vector<std::pair<int, int>> passesAfterTicks;  // (ticks so far, passes so far)
    } rows[] = {
        {"5 minuti",
         {{0, 0}, {1, 1}, {5, 1}, {6, 2}}},  // 262 s after the first pass: not yet; 327.7 s: again
        {"1 minuto", {{12, 12}}},
        {"60 minuti", {{55, 1}, {56, 2}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.delta);
        Schedule s;
        s.start(row.delta);
        EXPECT_EQ(s.messages().first(), "  Schedulazione Avviata");
        EXPECT_EQ(s.frontend.runCaption, "Interrompi");
        EXPECT_TRUE(s.frontend.timerEnabled);
        int ticks = 0;
        for (const auto& [after, passes] : row.passesAfterTicks) {
            s.tick(after - ticks);
            ticks = after;
            EXPECT_EQ(s.passes(), passes) << "after tick " << after;
        }
    }
}

TEST_F(Scheduler, AStopAndRestartWaitsForThePeriodSinceTheLastPass) {
    start("5 minuti");
    tick();
    ASSERT_EQ(passes(), 1);
    cmdRun_Click(m());
    EXPECT_EQ(messages().last(), "  Schedulazione Interrotta");
    EXPECT_EQ(frontend.runCaption, "Elaborazione");
    EXPECT_FALSE(frontend.timerEnabled);
    clock.advanceSeconds(60);
    cmdRun_Click(m());
    tick(2);
    EXPECT_EQ(passes(), 1) << "less than 300 s since the last pass";
    tick(2);
    EXPECT_EQ(passes(), 2);
}

TEST_F(Scheduler, ATickDuringARunningPassIsDropped) {
    start("1 minuto");
    m().pass_running = true;
    tick();
    m().pass_running = false;
    EXPECT_EQ(passes(), 0);
    tick();
    EXPECT_EQ(passes(), 1);
}

TEST_F(Scheduler, ManualModeRunsOnePassPerPressWithoutASchedulerLine) {
    m().flags.timer_flag.clear();
    saveIni();
    cmdRun_Click(m());
    cmdRun_Click(m());
    EXPECT_EQ(passes(), 0);
    EXPECT_EQ(messages().filter(" Lettura cartella pricipale ").size(), 2);
    EXPECT_FALSE(frontend.timerEnabled);
    EXPECT_FALSE(m().schedule.last_pass_time.isValid());
}
