#include <gtest/gtest.h>

#include "app/WriteIni.h"
#include "config/Settings.h"
#include "support/TestSupport.h"

using namespace dokivo;
using dokivo::test::ModuleFixture;

namespace {

struct SettingsFixture : ModuleFixture, ::testing::Test {
    Settings& settings() { return m().settings; }
    void load(const QString& body) {
        writeIni(QStringLiteral("[TUTTI]\r\n") + body);
        LoadSettings(settings());
    }
};

}  // namespace

TEST_F(SettingsFixture, ReadsEveryKeyOfEverySlotAsWritten) {
    load(
        "dir_in_0=/a/in\r\ndir_out_15=/z/out\r\nDIR_NAZIONALE_3=  CREA:AA/MM/GG;  "
        "\r\ncar_controllo_7=\"AbC\"\r\n"
        "gestione_dir_out_9=1\r\ninizio_car_controllo_2=3\r\n");
    EXPECT_EQ(settings().slots[0].dir_in, "/a/in");
    EXPECT_EQ(settings().slots[15].dir_out, "/z/out");
    EXPECT_EQ(settings().slots[3].dir_nazionale, "CREA:AA/MM/GG;");
    EXPECT_EQ(settings().slots[7].car_controllo, "AbC");
    EXPECT_EQ(settings().slots[9].gestione_dir_out, "1");
    EXPECT_EQ(settings().slots[2].inizio_car_controllo, "3");
    EXPECT_EQ(settings().slots[6].dir_in, "");  // a file written by the general window has no slot 6
}

TEST_F(SettingsFixture, ExtensionListKeepsTrimmedValuesAndDropsEmptyOrInnerBlankOnes) {
    load("estensione_0=PDF\r\nestensione_1=\" PDF \"\r\nestensione_2=P DF\r\nestensione_3=\r\n");
    EXPECT_EQ(settings().extension_list, "||PDF||PDF||");
    load("estensione_32=tif\r\nestensione_5=Jpg\r\n");
    EXPECT_EQ(settings().extension_list, "||Jpg||tif||");
}

TEST_F(SettingsFixture, NoExtensionGivesAnEmptyListNotBars) {
    load("dir_in_0=/x\r\n");
    EXPECT_EQ(settings().extension_list, "");
}

TEST_F(SettingsFixture, PasswordFlagsFollowTheSwitchAndThePasswordFile) {
    settings().system_root = tree.path("sysroot");
    load("gestione_pwd_3=1\r\n");
    EXPECT_TRUE(settings().password_handling_on);
    EXPECT_TRUE(settings().use_standard_password);
    EXPECT_EQ(settings().dir_pwd, tree.path("sysroot/"));  // the system folder stands in

    tree.write("pwd/ao.dat", "[3]\r\nP=segreto\r\n");
    load("gestione_pwd_3=01\r\ndir_pwd=" + tree.path("pwd") + "\r\n");
    EXPECT_TRUE(settings().password_handling_on);
    EXPECT_FALSE(settings().use_standard_password);
    EXPECT_EQ(settings().dir_pwd, tree.path("pwd/"));
}

TEST_F(SettingsFixture, SwitchesOffLeaveAnEmptyPasswordFolderAlone) {
    settings().system_root = tree.path("sysroot");
    load("gestione_pwd_0=0\r\ngestione_pwd_1=\r\ngestione_pwd_2=si\r\ngestione_pwd_4=2\r\n");
    EXPECT_FALSE(settings().password_handling_on);
    EXPECT_FALSE(settings().use_standard_password);
    EXPECT_EQ(settings().dir_pwd, "");
}

TEST_F(SettingsFixture, PasswordFolderGainsOneSeparatorOnly) {
    const QString folder = QDir::toNativeSeparators("/conf/pwd/");
    load("dir_pwd=" + folder + "\r\n");
    EXPECT_EQ(settings().dir_pwd, folder);
    load("dir_pwd=" + folder.chopped(1) + "\r\n");
    EXPECT_EQ(settings().dir_pwd, folder);
}

TEST_F(SettingsFixture, TimerDeltaDefaultsToFiveMinutes) {
    load("dir_in_0=/x\r\n");
    EXPECT_EQ(settings().timer_delta, "5 minuti");
    load("timer_delta=\r\n");
    EXPECT_EQ(settings().timer_delta, "5 minuti");
    load("timer_delta=15 minuti\r\n");
    EXPECT_EQ(settings().timer_delta, "15 minuti");
}

TEST_F(SettingsFixture, AVanishedFileReadsAsEmptyValues) {
    load("dir_in_0=/x\r\nestensione_0=PDF\r\n");
    QFile::remove(settings().iniPath());
    LoadSettings(settings());
    EXPECT_EQ(settings().slots[0].dir_in, "");
    EXPECT_EQ(settings().extension_list, "");
    EXPECT_EQ(settings().timer_delta, "5 minuti");
}

TEST_F(SettingsFixture, WriteIniStoresTheValueWithoutAnyLine) {
    load("dir_in_0=/x\r\n");
    WriteIni(m(), kIniSection, "dir_out_0", "/y", settings().iniPath());
    EXPECT_EQ(messages().size(), 0);
    LoadSettings(settings());
    EXPECT_EQ(settings().slots[0].dir_out, "/y");
    EXPECT_EQ(settings().slots[0].dir_in, "/x");
}

TEST_F(SettingsFixture, AFailedWriteAddsItsLineAndFlushesALongListFirst) {
    settings().dir_log_generale = tree.folder("track");
    const QString badFile = tree.folder("isafolder.ini");  // a folder cannot be written as a file
    for (int i = 0; i < 500; ++i)
        m().addLine(" riga");
    WriteIni(m(), kIniSection, "k", "v", badFile);
    EXPECT_FALSE(tree.exists("track/Dokivo_tracking.txt")) << "500 lines are not flushed";
    ASSERT_EQ(messages().size(), 501);
    EXPECT_EQ(messages().back(), " Errore in scrittura nel file " + badFile);
    EXPECT_GT(frontend.refreshes, 0);

    WriteIni(m(), kIniSection, "k", "v", badFile);
    EXPECT_EQ(messages(), QStringList{" Errore in scrittura nel file " + badFile})
        << "501 lines are flushed first";
    EXPECT_EQ(tree.read("track/Dokivo_tracking.txt").count("\r\n"), 501);
}
