#include "app/WriteIni.h"
#include "config/Settings.h"
#include "support/TestSupport.h"

using namespace dokivo;
using namespace dokivo::test;

namespace {

struct Loaded : ModuleFixture {
    Settings& settings() { return m().settings; }
    Settings& load(const QString& body) {
        writeIni("[TUTTI]\r\n" + QString(body).replace("{tree}", tree.path()));
        LoadSettings(settings());
        return settings();
    }
};

}  // namespace

// Every key of a slot is read through the passes that use it (the scenario tests); here what
// the settings derive from them.
TEST(Settings, AVanishedFileReadsAsEmptyValues) {
    Loaded f;
    const Settings& s = f.load("dir_in_15=/a/in\r\nestensione_0=PDF\r\ntimer_delta=15 minuti\r\n");
    EXPECT_EQ(s.slots[15].dir_in, "/a/in");
    QFile::remove(f.settings().iniPath());
    LoadSettings(f.settings());
    EXPECT_EQ(s.slots[15].dir_in, "");
    EXPECT_EQ(s.extension_list, "");
    EXPECT_EQ(s.timer_delta, "5 minuti");
}

TEST(Settings, DerivesTheExtensionListAndTheTimerPeriod) {
    const std::tuple<const char*, const char*, const char*> rows[] = {
        // INI lines, extension list, period
        {"estensione_0=PDF\r\nestensione_1=\" PDF \"\r\nestensione_2=P DF\r\nestensione_3=\r\n",
         "||PDF||PDF||", "5 minuti"},
        {"estensione_32=tif\r\nestensione_5=Jpg\r\ntimer_delta=15 minuti\r\n", "||Jpg||tif||", "15 minuti"},
        {"dir_in_0=/x\r\ntimer_delta=\r\n", "", "5 minuti"},
    };
    for (const auto& [body, extensions, period] : rows) {
        Loaded f;
        EXPECT_EQ(f.load(body).extension_list, extensions) << body;
        EXPECT_EQ(f.settings().timer_delta, period) << body;
    }
}

TEST(Settings, PasswordFlagsFollowTheSwitchesAndThePasswordFile) {
    const struct {
        const char* body;
        bool on;
        bool standard;
        const char* dirPwd;  // below the tree
    } rows[] = {
        {"gestione_pwd_3=1\r\n", true, true, "sysroot/"},  // the system folder stands in
        {"gestione_pwd_3=01\r\ndir_pwd={tree}pwd\r\n", true, false, "pwd/"},
        {"gestione_pwd_3=01\r\ndir_pwd={tree}pwd/\r\n", true, false, "pwd/"},  // one separator only
        {"gestione_pwd_0=0\r\ngestione_pwd_1=\r\ngestione_pwd_2=si\r\ngestione_pwd_4=2\r\n", false, false,
         nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.body);
        Loaded f;
        f.tree.write("pwd/ao.dat", "[3]\r\nP=segreto\r\n");
        f.settings().system_root = f.tree.path("sysroot");
        const Settings& s = f.load(QString(row.body).replace('/', QDir::separator()));
        EXPECT_EQ(s.password_handling_on, row.on);
        EXPECT_EQ(s.use_standard_password, row.standard);
        EXPECT_EQ(s.dir_pwd, row.dirPwd ? f.tree.path(row.dirPwd) : "");
    }
}

TEST(WriteIniStep, StoresTheValueSilentlyOrAddsItsLineAfterFlushingALongList) {
    Loaded f;
    f.load("dir_in_0=/x\r\n");
    WriteIni(f.m(), kIniSection, "dir_out_0", "/y", f.settings().iniPath());
    EXPECT_EQ(f.messages().size(), 0);
    LoadSettings(f.settings());
    EXPECT_EQ(f.settings().slots[0].dir_out, "/y");
    EXPECT_EQ(f.settings().slots[0].dir_in, "/x");

    f.settings().dir_log_generale = f.tree.folder("track");
    const QString badFile = f.tree.folder("isafolder.ini");  // a folder cannot be written as a file
    for (int i = 0; i < 500; ++i)
        f.m().addLine(" riga");
    WriteIni(f.m(), kIniSection, "k", "v", badFile);
    EXPECT_FALSE(f.tree.exists("track/Dokivo_tracking.txt")) << "500 lines are not flushed";
    ASSERT_EQ(f.messages().size(), 501);
    EXPECT_EQ(f.messages().back(), " Errore in scrittura nel file " + badFile);
    EXPECT_GT(f.frontend.refreshes, 0);
    WriteIni(f.m(), kIniSection, "k", "v", badFile);
    EXPECT_EQ(f.messages(), QStringList{" Errore in scrittura nel file " + badFile})
        << "501 lines are flushed first";
    EXPECT_EQ(f.tree.read("track/Dokivo_tracking.txt").count("\r\n"), 501);
}
