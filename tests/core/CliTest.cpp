#include <gtest/gtest.h>

#include <QProcess>
#include <QThread>

#include "support/CliRunner.h"
#include "support/PassFixture.h"
#include "support/TestSupport.h"

using namespace dokivo::test;

TEST(ConsoleProgram, WithoutTheConfigurationFilePrintsTheSecondMessageAndFails) {
    TempTree tree;
    const CliResult r = runCli({"ini:" + tree.path("conf")});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains("Impossibile accedere al file " + tree.path("conf/Dokivo.ini"))) << r.out;
    EXPECT_TRUE(r.out.contains("Controllare il parametro ini:dir nella riga di comando"));
    EXPECT_FALSE(tree.exists("conf/Dokivo_tracking.txt"));
}

TEST(ConsoleProgram, AnEmptyIniValueIsRefused) {
    const CliResult r = runCli({"ini:"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains("Non e' stato specificato nessuna directory")) << r.out;
}

TEST(ConsoleProgram, AStartWithTheFileWritesStartAndCloseIntoTheTrackingFile) {
    TempTree tree;
    tree.write("conf/Dokivo.ini", ("[TUTTI]\r\ndir_log_generale=" + tree.folder("track") + "\r\n").toUtf8());
    const CliResult r = runCli({"ini:" + tree.path("conf")});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    const QByteArray tracking = tree.read("track/Dokivo_tracking.txt");
    EXPECT_TRUE(tracking.contains(" Sistema Operativo ")) << tracking.constData();
    EXPECT_TRUE(tracking.endsWith(" CHIUSURA  DOKIVO \r\n")) << tracking.constData();
}

TEST(ConsoleProgram, RefusesToStartWhileAnotherInstanceRuns) {
    TempTree tree;
    tree.write("conf/Dokivo.ini", ("[TUTTI]\r\ndir_log_generale=" + tree.folder("track") + "\r\n").toUtf8());
    const QProcessEnvironment env = cliEnvironment();
    QProcess scheduled;
    scheduled.setProcessEnvironment(env);
    prepareOrderlyStop(scheduled);
    scheduled.start(DOKIVO_CLI_PATH, {"ini:" + tree.path("conf"), "timer:y"});
    ASSERT_TRUE(scheduled.waitForStarted());
    // The scheduled instance prints its opening line once it holds the lock.
    while (!scheduled.readAllStandardOutput().contains("Apertura") && scheduled.state() == QProcess::Running)
        scheduled.waitForReadyRead(5000);

    const CliResult second = runCli({"ini:" + tree.path("conf"), "run:y"}, DOKIVO_CLI_PATH, env);
    EXPECT_NE(second.exitCode, 0);
    EXPECT_TRUE(second.err.contains("gia' in esecuzione")) << second.err;

    if (!requestOrderlyStop(scheduled)) {  // the schedule closes in order
        scheduled.kill();
        scheduled.waitForFinished();
        GTEST_SKIP() << "no stop request can reach the program here (wine without a terminal); the "
                        "refusal of the second start was checked, the orderly close is not";
    }
    ASSERT_TRUE(scheduled.waitForFinished(10000));
    EXPECT_EQ(scheduled.exitCode(), 0);
    const QByteArray tracking = tree.read("track/Dokivo_tracking.txt");
    EXPECT_TRUE(tracking.contains(" Apertura  DOKIVO schedulato  5 minuti\r\n")) << tracking.constData();
    EXPECT_TRUE(tracking.endsWith(" CHIUSURA  DOKIVO \r\n"));
}

TEST(ConsoleProgram, ReportsLeaveTheTreeAsItWasAndTheCheckSaysByItsExitStatus) {
    PassFixture f;
    f.slot(0, {{"dir_backup_", f.tree.folder("s0/bak")}});
    f.drop(0, "Scan 01.pdf");
    f.saveIni();
    const QString key = "dokivo-test-" + QUuid::createUuid().toString(QUuid::Id128);
    const QProcessEnvironment env = cliEnvironment(key);
    const QString conf = "ini:" + f.tree.path("conf");
    const QStringList before = snapshot(f.tree.path());

    // run:y beside it runs no pass.
    const CliResult clean = runCli({conf, "run:y", "verifica:y"}, DOKIVO_CLI_PATH, env);
    EXPECT_EQ(clean.exitCode, 0) << clean.out;
    EXPECT_EQ(clean.out,
              " Verifica configurazione " + f.tree.path("conf/Dokivo.ini") + "\n Nessun problema trovato\n");
    const CliResult simulation = runCli({conf, "simula:y"}, DOKIVO_CLI_PATH, env);
    EXPECT_EQ(simulation.exitCode, 0) << simulation.out;
    EXPECT_TRUE(simulation.out.contains(" Slot 0 " + f.in(0, "Scan 01.pdf") + " -> " +
                                        f.out(0, "Scan_01.pdf") + " (backup " +
                                        f.tree.path("s0/bak/Scan_01.pdf") + ")\n"))
        << simulation.out;
    EXPECT_EQ(snapshot(f.tree.path()), before);

    f.ini["dir_doppioni_0"] = f.tree.path("s0/gone");
    f.saveIni();
    const QStringList withProblem = snapshot(f.tree.path());
    const CliResult found = runCli({conf, "verifica:Y"}, DOKIVO_CLI_PATH, env);
    EXPECT_EQ(found.exitCode, 4);
    EXPECT_TRUE(found.out.contains(" Slot 0, dir_doppioni_0: la cartella " + f.tree.path("s0/gone/") +
                                   " non esiste\n"))
        << found.out;
    EXPECT_TRUE(found.out.endsWith(" 1 problema trovato\n"));
    EXPECT_EQ(snapshot(f.tree.path()), withProblem);
    EXPECT_FALSE(QFile::exists(QDir::tempPath() + "/" + key + ".lock")) << "a report takes no instance lock";

    EXPECT_EQ(runCli({"ini:" + f.tree.path("nowhere"), "verifica:y"}, DOKIVO_CLI_PATH, env).exitCode, 2);
}
