#include <gtest/gtest.h>

#include "app/Startup.h"
#include "support/TestSupport.h"

using namespace dokivo;
using dokivo::test::ModuleFixture;

namespace {

struct StartupFixture : ModuleFixture, ::testing::Test {
    StartupFixture() {
        m().settings.os_product_name = "Debian";
        m().settings.system_root = "/etc";
    }
    QString confArg() const { return "ini:" + tree.path("conf"); }
    void writeConfig() {
        writeIni("[TUTTI]\r\ndir_log_generale=" + tree.folder("track") + "\r\ntimer_delta=10 minuti\r\n");
    }
};

}  // namespace

TEST_F(StartupFixture, WithoutArgumentsTheProgramFolderHoldsTheConfiguration) {
    tree.write("app/Dokivo.ini", "[TUTTI]\r\n");
    EXPECT_EQ(Form_Load(m(), ""), StartupOutcome::Idle);
    EXPECT_EQ(m().settings.config_dir, tree.folder("app"));
    EXPECT_EQ(messages(), (QStringList{" Sistema Operativo Debian System Root /etc", ""}));
    EXPECT_EQ(frontend.caption, "Dokivo Ver. 3.7 - 20/11/09");
    EXPECT_EQ(frontend.listExtent, 1500);
    EXPECT_TRUE(frontend.trayIcon);
    EXPECT_FALSE(frontend.timerEnabled);
    EXPECT_TRUE(frontend.messages.isEmpty());
}

TEST_F(StartupFixture, AnEmptyIniValueIsRefusedWithTheFirstMessage) {
    EXPECT_EQ(Form_Load(m(), "ini:"), StartupOutcome::Refused);
    EXPECT_EQ(
        frontend.messages,
        QStringList{
            "Non e' stato specificato nessuna directory dove posizionato il file dokivo.ini (ini:dir)"});
    EXPECT_FALSE(frontend.trayIcon);
}

TEST_F(StartupFixture, AMissingConfigurationFileIsRefusedWithTheSecondMessage) {
    EXPECT_EQ(Form_Load(m(), "ini:" + tree.path("nowhere")), StartupOutcome::Refused);
    EXPECT_EQ(frontend.messages,
              QStringList{"Impossibile accedere al file " + tree.path("nowhere/Dokivo.ini") +
                          "\r\nControllare il parametro ini:dir nella riga di comando"});
    EXPECT_FALSE(frontend.trayIcon);
    EXPECT_FALSE(tree.exists("track/Dokivo_tracking.txt"));
}

TEST_F(StartupFixture, ScheduledModeOpensWithThePeriodAndStartsTheTimer) {
    writeConfig();
    EXPECT_EQ(Form_Load(m(), confArg() + " timer:y"), StartupOutcome::Idle);
    EXPECT_EQ(messages().back(), " Apertura  DOKIVO schedulato  10 minuti");
    EXPECT_EQ(frontend.runCaption, "Interrompi");
    EXPECT_TRUE(frontend.timerEnabled);
    EXPECT_EQ(m().schedule.tick_count, 1);
}

TEST_F(StartupFixture, AutorunRunsOnePassAndAsksToClose) {
    writeConfig();
    EXPECT_EQ(Form_Load(m(), confArg() + " run:y"), StartupOutcome::RunFinished);
    EXPECT_EQ(messages()[1], " Apertura  DOKIVO autorun  ");
    EXPECT_EQ(m().settings.config_dir, tree.path("conf/"));
}

TEST_F(StartupFixture, AutorunWithTheScheduleStopsItAgainWithoutAPass) {
    writeConfig();
    EXPECT_EQ(Form_Load(m(), confArg() + " run:y timer:y"), StartupOutcome::RunFinished);
    EXPECT_EQ(messages(), (QStringList{" Sistema Operativo Debian System Root /etc",
                                       " Apertura  DOKIVO autorun  ", "  Schedulazione Interrotta"}));
    EXPECT_FALSE(frontend.timerEnabled);
    EXPECT_EQ(frontend.runCaption, "Elaborazione");
}

TEST_F(StartupFixture, UnloadWritesTheClosingLineAndTheWholeListToTheTrackingFile) {
    writeConfig();
    ASSERT_EQ(Form_Load(m(), confArg()), StartupOutcome::Idle);
    Form_Unload(m());
    EXPECT_FALSE(frontend.trayIcon);
    EXPECT_EQ(m().operations.size(), 0);
    const QList<QByteArray> lines = tree.read("track/Dokivo_tracking.txt").split('\n');
    ASSERT_EQ(lines.size(), 4);  // three lines and the empty text after the last CR LF
    EXPECT_TRUE(lines[0].endsWith(" Sistema Operativo Debian System Root /etc\r"));
    EXPECT_TRUE(lines[2].endsWith(" CHIUSURA  DOKIVO \r"));
}

TEST(OperatingSystemFacts, AreReadFromThePlatform) {
    ModuleFixture f;
    readOperatingSystemFacts(f.m());
    EXPECT_FALSE(f.m().settings.os_product_name.isEmpty());
    EXPECT_FALSE(f.m().settings.system_root.isEmpty());
}
