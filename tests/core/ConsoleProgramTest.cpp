// The real console program: its starts and refusals, its reports, and one document filed end to
// end from a private copy of the program, where it must keep the encryption password to itself
// and write only into its folders. Then the modes of the files it creates.

#include <QProcess>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

#include "platform/IniFile.h"
#include "processing/RecordFile.h"
#include "support/CliRunner.h"
#include "support/PassScenario.h"
#include "support/StandIn.h"

using namespace dokivo;
using namespace dokivo::test;

TEST(ConsoleProgram, StartsOrRefusesByItsArgumentsAndConfiguration) {
    const struct {
        QString args;
        bool withIni;
        int exitCode;  // -2: any failure
        QStringList printed;
    } rows[] = {
        {"ini:{conf}",
         false,
         -2,
         {"Impossibile accedere al file {conf}Dokivo.ini",
          "Controllare il parametro ini:dir nella riga di comando"}},
        {"ini:", false, -2, {"Non e' stato specificato nessuna directory"}},
        {"ini:{nowhere} verifica:y", false, 2, {}},
        {"ini:{conf}", true, 0, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.toStdString());
        PassTree t;
        if (row.withIni)
            t.saveIni();
        const CliResult r = runCli(t.expand(row.args).split(' '));
        EXPECT_TRUE(row.exitCode == -2 ? r.exitCode > 0 : r.exitCode == row.exitCode) << r.exitCode << r.out;
        for (const QString& text : row.printed)
            EXPECT_TRUE(r.out.contains(t.expand(text))) << r.out;
        // A start that was let through writes its opening and its close, a refused one nothing.
        const QByteArray tracking = t.tree.read("track/" + kTrackingFileName);
        EXPECT_EQ(tracking.contains(" Sistema Operativo ") && tracking.endsWith(" CHIUSURA  DOKIVO \r\n"),
                  row.exitCode == 0)
            << tracking;
    }
}

TEST(ConsoleProgram, RefusesToStartWhileAnotherInstanceRuns) {
    PassTree t;
    t.saveIni();
    const QProcessEnvironment env = cliEnvironment();
    QProcess scheduled;
    scheduled.setProcessEnvironment(env);
    prepareOrderlyStop(scheduled);
    scheduled.start(DOKIVO_CLI_PATH, {t.expand("ini:{conf}"), "timer:y"});
    ASSERT_TRUE(scheduled.waitForStarted());
    // The scheduled instance prints its opening line once it holds the lock.
    while (!scheduled.readAllStandardOutput().contains("Apertura") && scheduled.state() == QProcess::Running)
        scheduled.waitForReadyRead(5000);

    const CliResult second = runCli({t.expand("ini:{conf}"), "run:y"}, DOKIVO_CLI_PATH, env);
    EXPECT_NE(second.exitCode, 0);
    EXPECT_TRUE(second.err.contains("gia' in esecuzione")) << second.err;

    if (!requestOrderlyStop(scheduled)) {
        scheduled.kill();
        scheduled.waitForFinished();
        GTEST_SKIP() << "no stop request can reach the program here (wine without a terminal); the "
                        "refusal of the second start was checked, the orderly close is not";
    }
    ASSERT_TRUE(scheduled.waitForFinished(10000));
    EXPECT_EQ(scheduled.exitCode(), 0);
    const QByteArray tracking = t.tree.read("track/" + kTrackingFileName);
    EXPECT_TRUE(tracking.contains(" Apertura  DOKIVO schedulato  5 minuti\r\n")) << tracking;
    EXPECT_TRUE(tracking.endsWith(" CHIUSURA  DOKIVO \r\n"));
}

TEST(ConsoleProgram, ReportsLeaveTheTreeAsItWasAndTheCheckSaysByItsExitStatus) {
    PassTree t;
    t.set("dir_backup_0={bak}");
    t.drop("in/Scan 01.pdf=scan");
    t.saveIni();
    const QString key = "dokivo-test-" + QUuid::createUuid().toString(QUuid::Id128);
    const QProcessEnvironment env = cliEnvironment(key);
    const QString conf = t.expand("ini:{conf}");
    const QStringList before = snapshot(t.tree.path());

    // run:y beside it runs no pass.
    const CliResult clean = runCli({conf, "run:y", "verifica:y"}, DOKIVO_CLI_PATH, env);
    EXPECT_EQ(clean.exitCode, 0) << clean.out;
    EXPECT_EQ(clean.out, t.expand(" Verifica configurazione {conf}Dokivo.ini\n Nessun problema trovato\n"));
    const CliResult simulation = runCli({conf, "simula:y"}, DOKIVO_CLI_PATH, env);
    EXPECT_EQ(simulation.exitCode, 0) << simulation.out;
    EXPECT_TRUE(simulation.out.contains(
        t.expand(" Slot 0 {in}Scan 01.pdf -> {out}Scan_01.pdf (backup {bak}Scan_01.pdf)\n")))
        << simulation.out;
    EXPECT_EQ(snapshot(t.tree.path()), before);

    t.set("dir_doppioni_0={gone}");
    t.saveIni();
    const QStringList withProblem = snapshot(t.tree.path());
    const CliResult found = runCli({conf, "verifica:Y"}, DOKIVO_CLI_PATH, env);
    EXPECT_EQ(found.exitCode, 4);
    EXPECT_TRUE(found.out.contains(t.expand(" Slot 0, dir_doppioni_0: la cartella {gone} non esiste\n")))
        << found.out;
    EXPECT_TRUE(found.out.endsWith(" 1 problema trovato\n"));
    EXPECT_EQ(snapshot(t.tree.path()), withProblem);
    EXPECT_FALSE(QFile::exists(QDir::tempPath() + "/" + key + ".lock")) << "a report takes no instance lock";
}

// The whole road: a copy of the program in its own folder, an encrypting slot with the tool's
// stand-in, a document filed and one duplicate, the user's own folders in a sandbox.
TEST(ConsoleProgram, FilesEndToEndKeepsThePasswordToItselfAndWritesOnlyIntoItsFolders) {
    const QString password = QStringLiteral("Segreto 77!");
    PassTree t;
    for (const char* line : {"dir_backup_0={bak}", "dir_doppioni_0={dup}", "dir_nazionale_0=CREA:AA/MM/GG;",
                             "gestione_pwd_0=1", "dir_pwd={pwd}"})
        t.set(line);
    t.saveIni();
    const QString program = installCliCopy(t.tree.path("app/"));
    ASSERT_FALSE(program.isEmpty());
    installStandIn(t.tree.path("app/encryptpdf.exe"),
                   {"args " + t.tree.path("tool-arguments.txt"), "copy 2 4"});
    platform::writeProfileString("0", "P", password, t.tree.path("pwd/ao.dat"));
    t.drop("in/Scan 01.pdf=%PDF-1.4 scan");
    t.drop("in/b.pdf=scan b");
    t.drop("out/{YY}/{MM}/{DD}/b.pdf=b filed earlier");  // b goes to the duplicates folder
    TempTree sandbox;
    QProcessEnvironment env = cliEnvironment();
    const QStringList homes{"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"};
    for (const QString& var : homes)
        env.insert(var, sandbox.folder(var));
    for (const char* var : {"TMPDIR", "TMP", "TEMP"})  // TMP and TEMP on Windows
        env.insert(var, sandbox.folder("tmp"));
    const QStringList before = snapshot(t.tree.path());

    const CliResult r = runCli({t.expand("ini:{conf}"), "run:y"}, program, env);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_TRUE(t.tree.read("tool-arguments.txt").contains(("\n-u\n" + password + "\n").toUtf8()));
    EXPECT_EQ(t.tree.read(t.expand("out/{YY}/{MM}/{DD}/Scan_01.pdf")), "%PDF-1.4 scan");
    EXPECT_EQ(t.tree.read("bak/Scan_01.pdf"), "%PDF-1.4 scan");
    EXPECT_EQ(t.tree.read("dup/b.pdf"), "scan b");
    EXPECT_EQ(t.tree.entries("in"), QStringList{});
    EXPECT_TRUE(r.out.contains(t.expand("Elaborati 2 file PDF | Origine {in}"))) << r.out;

    const QByteArray tracking = t.tree.read("track/" + kTrackingFileName);
    EXPECT_TRUE(tracking.contains(" Cripto il file  Scan_01.pdf\r\n") &&
                tracking.endsWith(" CHIUSURA  DOKIVO \r\n"));
    ASSERT_EQ(t.recordLines().size(), 1);  // handed over to the log folder too, and whole
    EXPECT_EQ(t.tree.entries("log").size(), 1);

    const QByteArray secret = password.toUtf8();
    EXPECT_FALSE(r.out.toUtf8().contains(secret) || r.err.toUtf8().contains(secret));
    for (const QString& entry : snapshot(t.tree.path())) {
        const QString path = entry.section(' ', 0, -3);
        if (QFileInfo(path).isFile() && !path.endsWith("ao.dat") && !path.endsWith("tool-arguments.txt") &&
            !path.contains("encryptpdf")) {
            QFile f(path);
            EXPECT_TRUE(f.open(QIODevice::ReadOnly) && !f.readAll().contains(secret)) << path;
        }
        if (!before.contains(entry)) {
            const QString top = path.mid(t.tree.path().size()).section('/', 0, 0);  // the iterator's "/"
            EXPECT_TRUE(QStringList({"in", "out", "bak", "dup", "log", "track", "app", "tool-arguments.txt"})
                            .contains(top))
                << "written: " << path;
        }
    }
    for (const QString& var : homes)
        EXPECT_EQ(sandbox.entries(var), QStringList()) << var;
    // The single-instance guard's lock file and socket are all that lands in the temporary folder.
    for (const QString& name : sandbox.entries("tmp"))
        EXPECT_TRUE(name.startsWith("dokivo-test-")) << name;
}

TEST(FilePermissions, ThePasswordFileAndRecordFilesAreNoMoreOpenThanTheUmask) {
#ifdef Q_OS_WIN
    GTEST_SKIP()
        << "file modes and the umask are POSIX; on Windows a new file takes its folder's access list";
#else
    const auto modeOf = [](const QString& path) {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : 07777;
    };
    for (const mode_t mask : {mode_t(022), mode_t(077)}) {
        SCOPED_TRACE(mask);
        const mode_t previous = ::umask(mask);
        TempTree tree;
        ASSERT_TRUE(platform::writeProfileString("3", "P", "x", tree.path("ao.dat")));
        EXPECT_EQ(modeOf(tree.path("ao.dat")) & mask, 0u);
        ::chmod(QFile::encodeName(tree.path("ao.dat")).constData(),
                0600);  // a later write keeps it as closed
        ASSERT_TRUE(platform::writeProfileString("4", "P", "x", tree.path("ao.dat")));
        EXPECT_EQ(modeOf(tree.path("ao.dat")), 0600u);

        RecordFile record;
        qint64 sequence = 1;
        record.open(tree.folder("rec"), QDateTime(QDate(2024, 3, 5), QTime(14, 3, 7)), sequence);
        record.close();
        record.handOver(tree.folder("log"));
        EXPECT_EQ(modeOf(record.path()) & mask, 0u);
        EXPECT_EQ(modeOf(tree.path("log/" + record.name())) & mask, 0u);
        ::umask(previous);
    }
#endif
}
