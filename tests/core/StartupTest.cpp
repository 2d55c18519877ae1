#include "app/Startup.h"
#include "support/TestSupport.h"

using namespace dokivo;
using namespace dokivo::test;

namespace {

const QString kSystemLine = QStringLiteral(" Sistema Operativo Debian System Root /etc");

struct Started : ModuleFixture {
    explicit Started(bool withConfig) {
        m().settings.os_product_name = "Debian";
        m().settings.system_root = "/etc";
        if (withConfig)
            writeIni("[TUTTI]\r\ndir_log_generale=" + tree.folder("track") + "\r\ntimer_delta=10 minuti\r\n");
    }
    StartupOutcome load(const QString& args) {
        return Form_Load(m(), QString(args).replace("{conf}", tree.path("conf")));
    }
};

}  // namespace

TEST(Startup, RefusesAnEmptyOrWrongConfigurationFolderWithItsMessageAndWritesNothing) {
    const std::pair<QString, QString> rows[] = {
        {"ini:", "Non e' stato specificato nessuna directory dove posizionato il file dokivo.ini (ini:dir)"},
        {"ini:{conf}",
         "Impossibile accedere al file {ini}\r\nControllare il parametro ini:dir nella riga di comando"},
    };
    for (const auto& [args, message] : rows) {
        Started s(false);
        EXPECT_EQ(s.load(args), StartupOutcome::Refused);
        EXPECT_EQ(s.frontend.messages,
                  QStringList{QString(message).replace("{ini}", s.tree.path("conf/Dokivo.ini"))});
        EXPECT_FALSE(s.frontend.trayIcon);
        EXPECT_FALSE(s.tree.exists("track/Dokivo_tracking.txt"));
    }
}

TEST(Startup, WithoutArgumentsTheProgramFolderHoldsTheConfiguration) {
    Started s(false);
    s.tree.write("app/Dokivo.ini", "[TUTTI]\r\n");
    EXPECT_EQ(s.load(""), StartupOutcome::Idle);
    EXPECT_EQ(s.m().settings.config_dir, s.tree.folder("app"));
    EXPECT_EQ(s.messages(), (QStringList{kSystemLine, ""}));
    EXPECT_EQ(s.frontend.caption, "Dokivo Ver. 3.7 - 20/11/09");
    EXPECT_EQ(s.frontend.listExtent, 1500);
    EXPECT_TRUE(s.frontend.trayIcon);
    EXPECT_FALSE(s.frontend.timerEnabled);
    EXPECT_TRUE(s.frontend.messages.isEmpty());
    readOperatingSystemFacts(s.m());  // the real ones
    EXPECT_FALSE(s.m().settings.os_product_name.isEmpty() || s.m().settings.system_root.isEmpty());
}

TEST(Startup, OpensScheduledOrRunsOnePassAndAsksToClose) {
    const struct {
        const char* args;
        StartupOutcome outcome;
        QStringList lines;
        bool timer;
        const char* runCaption;  // null: not looked at
    } rows[] = {
        {"ini:{conf} timer:y",
         StartupOutcome::Idle,
         {kSystemLine, " Apertura  DOKIVO schedulato  10 minuti"},
         true,
         "Interrompi"},
        {"ini:{conf} run:y",
         StartupOutcome::RunFinished,
         {kSystemLine, " Apertura  DOKIVO autorun  "},
         false,
         nullptr},
        // run:y stops the schedule again without a pass
        {"ini:{conf} run:y timer:y",
         StartupOutcome::RunFinished,
         {kSystemLine, " Apertura  DOKIVO autorun  ", "  Schedulazione Interrotta"},
         false,
         "Elaborazione"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args);
        Started s(true);
        EXPECT_EQ(s.load(row.args), row.outcome);
        EXPECT_EQ(s.messages(), row.lines);
        EXPECT_EQ(s.m().settings.config_dir, s.tree.path("conf/"));
        EXPECT_EQ(s.frontend.timerEnabled, row.timer);
        if (row.runCaption) {
            EXPECT_EQ(s.frontend.runCaption, row.runCaption);
        }
    }
}

TEST(Startup, UnloadWritesTheClosingLineAndTheWholeListToTheTrackingFile) {
    Started s(true);
    ASSERT_EQ(s.load("ini:{conf}"), StartupOutcome::Idle);
    Form_Unload(s.m());
    EXPECT_FALSE(s.frontend.trayIcon);
    EXPECT_EQ(s.m().operations.size(), 0);
    const QList<QByteArray> lines = s.tree.read("track/Dokivo_tracking.txt").split('\n');
    ASSERT_EQ(lines.size(), 4);  // three lines and the empty text after the last CR LF
    EXPECT_TRUE(lines[0].endsWith(kSystemLine.toUtf8() + "\r"));
    EXPECT_TRUE(lines[2].endsWith(" CHIUSURA  DOKIVO \r"));
}
