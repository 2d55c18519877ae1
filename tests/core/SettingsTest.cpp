#include "app/WriteIni.h"
#include "config/Settings.h"
#include "support/TestSupport.h"

using namespace dokivo;
using namespace dokivo::test;

// Every key of a slot is read through the passes that use it (the scenario tests); here what the
// settings derive from them. Each load follows the last one in the same settings, and owes it nothing.
TEST(Settings, DeriveTheExtensionListTheTimerPeriodAndThePasswordFlags) {
    // The INI lines, then the extension list, the period, whether encryption is on and with the
    // standard password, and the password folder.
    const std::pair<const char*, const char*> rows[] = {
        {"estensione_0=PDF|estensione_1=\" PDF \"|estensione_2=P DF|estensione_3=|gestione_pwd_3=1",
         "||PDF||PDF|| ; 5 minuti ; on ; standard ; {tree}sysroot/"},  // the system folder stands in
        {"estensione_32=tif|estensione_5=Jpg|timer_delta=15 minuti|gestione_pwd_3=01|dir_pwd={tree}pwd",
         "||Jpg||tif|| ; 15 minuti ; on ;  ; {tree}pwd/"},
        {"gestione_pwd_0=0|gestione_pwd_1=|gestione_pwd_2=si|gestione_pwd_4=2|timer_delta=",
         " ; 5 minuti ;  ;  ; "},
    };
    ModuleFixture f;
    Settings& s = f.m().settings;
    f.tree.write("pwd/ao.dat", "[3]\r\nP=segreto\r\n");
    s.system_root = f.tree.path("sysroot");
    const auto native = [&](const char* text) {
        return QString(text).replace("{tree}", f.tree.path()).replace('/', QDir::separator());
    };
    for (const auto& [body, expected] : rows) {
        f.writeIni("[TUTTI]\r\n" + native(body).replace('|', "\r\n"));
        LoadSettings(s);
        EXPECT_EQ(QStringList({s.extension_list, s.timer_delta, s.password_handling_on ? "on" : "",
                               s.use_standard_password ? "standard" : "", s.dir_pwd})
                      .join(" ; "),
                  native(expected))
            << body;
    }
}

// Its success is the settings windows' saving (their tests).
TEST(WriteIniStep, AFailureAddsItsLineAfterFlushingALongList) {
    ModuleFixture f;
    f.m().settings.dir_log_generale = f.tree.folder("track");
    const QString badFile = f.tree.folder("isafolder.ini");  // a folder cannot be written as a file
    for (int i = 0; i < 501; ++i)
        f.m().addLine(" riga");
    WriteIni(f.m(), kIniSection, "k", "v", badFile);
    EXPECT_EQ(f.messages(), QStringList{" Errore in scrittura nel file " + badFile})
        << "501 lines are flushed first";
    EXPECT_EQ(f.tree.read("track/Dokivo_tracking.txt").count("\r\n"), 501);
    EXPECT_GT(f.frontend.refreshes, 0);
}
