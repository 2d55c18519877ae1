#include <gtest/gtest.h>

#include "scan/Scheduler.h"
#include "support/PassFixture.h"

using namespace dokivo;
using dokivo::test::PassFixture;

namespace {

struct Scheduler : PassFixture, ::testing::Test {
    Scheduler() { m().flags.timer_flag = "y"; }
    int passes() const { return messagesStartingWith(" Eseguo controllo directory ").size(); }
    // One real tick of Timer1: the clock moves on by its interval first.
    void tick() {
        clock.sleepMs(kTimer1IntervalMs);
        Timer1_Timer(m());
    }
    void useDelta(const QString& delta) {
        ini["timer_delta"] = delta;
        saveIni();
        LoadSettings(m().settings);
    }
};

}  // namespace

TEST(SchedulerPeriod, IsReadFromTheFirstTwoCharacters) {
    EXPECT_EQ(periodSeconds("5 minuti"), 300);
    EXPECT_EQ(periodSeconds("1 minuto"), 60);
    EXPECT_EQ(periodSeconds("60 minuti"), 3600);
    EXPECT_EQ(periodSeconds("100 minuti"), 600);
    EXPECT_EQ(periodSeconds("minuti"), 300);  // not a number: the default five minutes
    EXPECT_EQ(periodSeconds(""), 300);
}

TEST_F(Scheduler, StartRunsTheFirstPassAtTheFirstRealTickThenEveryFifthTickForFiveMinutes) {
    useDelta("5 minuti");
    cmdRun_Click(m());
    EXPECT_EQ(messages().first(), "  Schedulazione Avviata");
    EXPECT_EQ(frontend.runCaption, "Interrompi");
    EXPECT_TRUE(frontend.timerEnabled);
    EXPECT_EQ(passes(), 0);
    tick();
    EXPECT_EQ(passes(), 1);
    for (int i = 0; i < 4; ++i)
        tick();  // 4 x 65.5 s = 262 s: not more than 300 s
    EXPECT_EQ(passes(), 1);
    tick();  // 327.7 s
    EXPECT_EQ(passes(), 2);
}

TEST_F(Scheduler, OneMinuteRunsAPassOnEveryTick) {
    useDelta("1 minuto");
    cmdRun_Click(m());
    for (int i = 0; i < 12; ++i)
        tick();
    EXPECT_EQ(passes(), 12);
    EXPECT_GE(m().schedule.tick_count, 2);
    EXPECT_LE(m().schedule.tick_count, 9);
}

TEST_F(Scheduler, SixtyMinutesRunsAPassEvery55Ticks) {
    useDelta("60 minuti");
    cmdRun_Click(m());
    tick();
    for (int i = 0; i < 54; ++i)
        tick();
    EXPECT_EQ(passes(), 1);
    tick();
    EXPECT_EQ(passes(), 2);
}

TEST_F(Scheduler, AStopAndRestartWaitsForThePeriodSinceTheLastPass) {
    useDelta("5 minuti");
    cmdRun_Click(m());
    tick();
    ASSERT_EQ(passes(), 1);
    cmdRun_Click(m());
    EXPECT_EQ(messages().last(), "  Schedulazione Interrotta");
    EXPECT_EQ(frontend.runCaption, "Elaborazione");
    EXPECT_FALSE(frontend.timerEnabled);
    clock.advanceSeconds(60);
    cmdRun_Click(m());
    tick();
    tick();
    EXPECT_EQ(passes(), 1) << "less than 300 s since the last pass";
    tick();
    tick();
    EXPECT_EQ(passes(), 2);
}

TEST_F(Scheduler, ManualModeRunsOnePassPerPressWithoutASchedulerLine) {
    m().flags.timer_flag.clear();
    slot(0);
    saveIni();
    cmdRun_Click(m());
    cmdRun_Click(m());
    EXPECT_EQ(passes(), 0);
    EXPECT_EQ(messagesStartingWith(" Lettura cartella pricipale ").size(), 2);
    EXPECT_FALSE(frontend.timerEnabled);
    EXPECT_FALSE(m().schedule.last_pass_time.isValid());
}

TEST_F(Scheduler, ATickDuringARunningPassIsDropped) {
    useDelta("1 minuto");
    cmdRun_Click(m());
    m().pass_running = true;
    tick();
    m().pass_running = false;
    EXPECT_EQ(passes(), 0);
    tick();
    EXPECT_EQ(passes(), 1);
}
