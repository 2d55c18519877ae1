// The real console program: its refusals and reports, and one document filed end to end from a
// private copy of the program, which runs alone, keeps the encryption password to itself, writes
// only into its folders and opens no file wider than the umask.

#include <QProcess>
#include <QSet>
#include <QThread>

#ifndef Q_OS_WIN
#include <sys/stat.h>

#include <csignal>
#endif

#include "platform/FolderLock.h"
#include "platform/IniFile.h"
#include "processing/RecordFile.h"
#include "support/PassScenario.h"
#include "support/ProcessRunner.h"

using namespace dokivo;
using namespace dokivo::test;

// A refusal or a report leaves the tree as it was.
TEST(ConsoleProgram, RefusesOrReportsByItsArgumentsAndConfigurationChangingNothing) {
    const struct {
        QString args;
        const char* ini;  // one INI line; null: no file
        int exitCode;
        QString printed;
    } rows[] = {
        // "ini:" is found anywhere in a word, its value read at a fixed place
        {"xini:{conf}", "", 2,
         "Impossibile accedere al file :{conf}Dokivo.ini | Controllare il parametro ini:dir nella riga di "
         "comando"},
        {"ini: verifica:y", nullptr, 2,
         "Non e' stato specificato nessuna directory dove posizionato il file dokivo.ini"},
        {"ini:{conf} run:y verifica:y", "", 0,
         " Verifica configurazione {conf}Dokivo.ini\n Nessun problema trovato\n"},
        {"ini:{conf} simula:y", "dir_backup_0={bak}", 0,
         " Slot 0 {in}Scan 01.pdf -> {out}Scan_01.pdf (backup {bak}Scan_01.pdf)\n"},
        {"ini:{conf} verifica:Y", "dir_doppioni_0={gone}", 4,
         " Slot 0, dir_doppioni_0: la cartella {gone} non esiste\n 1 problema trovato\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.toStdString());
        PassTree t;
        if (row.ini) {
            t.set(row.ini);
            t.drop("in/Scan 01.pdf=scan");
            t.saveIni();
        }
        const QStringList before = snapshot(t.tree.path());
        const ProcessResult r = runCli(t.expand(row.args).split(' '));
        EXPECT_EQ(r.exitCode, row.exitCode) << r.out;
        EXPECT_TRUE(r.out.contains(t.expand(row.printed))) << r.out;
        EXPECT_EQ(snapshot(t.tree.path()), before);
    }
}

// The whole road: a copy of the program in its own folder, an encrypting slot with the tool's
// stand-in, a document filed and one duplicate, then a scheduled instance that refuses a second
// start and closes in order when asked to stop; the user's own folders in a sandbox, a umask
// that lets nobody else read (on Windows a new file takes its folder's access list instead).
TEST(ConsoleProgram, FilesEndToEndRunsAloneKeepsThePasswordToItselfAndWritesOnlyIntoItsFolders) {
    const QByteArray secret = "Segreto 77!";
#ifdef Q_OS_WIN
    const QFile::Permissions others = {};
#else
    const mode_t umaskBefore = ::umask(077);
    const Guard restoreUmask = until([umaskBefore] { ::umask(umaskBefore); });
    const auto others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                        QFile::WriteOther | QFile::ExeOther;
#endif
    PassTree t;
    // b goes to the duplicates folder
    t.lay({"@dir_backup_0={bak}", "@dir_doppioni_0={dup}", "@dir_nazionale_0=CREA:AA/MM/GG;",
           "@gestione_pwd_0=1", "@dir_pwd={pwd}", "+in/Scan 01.pdf=%PDF-1.4 scan", "+in/b.pdf=scan b",
           "+out/{YY}/{MM}/{DD}/b.pdf=b earlier"});
    t.saveIni();
    const QString program = t.tree.path("app/") + QFileInfo(DOKIVO_CLI_PATH).fileName();
    ASSERT_TRUE(QFile::copy(DOKIVO_CLI_PATH, program));
    installStandIn(t.tree.path("app/encryptpdf.exe"),
                   {"args " + t.tree.path("tool-arguments.txt"), "copy 2 4"});
    const QString passwords = t.tree.path("pwd/ao.dat");
    platform::writeProfileString("1", "P", "x", passwords);
    QFile::setPermissions(passwords, QFile::permissions(passwords) | (others & QFile::ReadGroup));
    platform::writeProfileString("0", "P", secret, passwords);
    EXPECT_EQ(QFile::permissions(passwords) & others, others & QFile::ReadGroup)
        << "a rewrite keeps the mode";
    TempTree sandbox;
    QProcessEnvironment env = cliEnvironment();
    const QStringList homes{"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"};
    for (const QString& var : homes)
        env.insert(var, sandbox.folder(var));
    for (const char* var : {"TMPDIR", "TMP", "TEMP"})  // TMP and TEMP on Windows
        env.insert(var, sandbox.folder("tmp"));
    const QStringList before = snapshot(t.tree.path());

    // a report is asked for by a keyword in small letters and "y" alone
    const auto r = runCli({t.expand("ini:{conf}"), "run:y", "SIMULA:y", "verifica:yes"}, program, env);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_TRUE(t.tree.read("tool-arguments.txt").contains("\n-u\n" + secret + "\n"));
    EXPECT_EQ(t.tree.read(t.expand("out/{YY}/{MM}/{DD}/Scan_01.pdf")), "%PDF-1.4 scan");
    EXPECT_TRUE(r.out.contains(t.expand("Elaborati 2 file PDF | Origine {in}"))) << r.out;
    const QByteArray tracking = t.tree.read("track/" + kTrackingFileName);  // names the system, then closes
    EXPECT_TRUE(QString(tracking).contains(QRegularExpression(" Sistema Operativo \\S.* System Root \\S")) &&
                tracking.endsWith(" CHIUSURA  DOKIVO \r\n"))
        << tracking;

    QProcess scheduled;
    scheduled.setProcessEnvironment(env);
    scheduled.start(program, {t.expand("ini:{conf}"), "timer:y"});
    // The scheduled instance prints its opening line once it holds the lock.
    QByteArray opening;
    while (!opening.contains("Apertura") && scheduled.waitForReadyRead(30000))
        opening += scheduled.readAllStandardOutput();
    ASSERT_TRUE(opening.contains("Apertura")) << opening;
    const ProcessResult second = runCli({t.expand("ini:{conf}"), "run:y"}, program, env);
    EXPECT_EQ(second.exitCode, 3);
    EXPECT_TRUE(second.err.contains("gia' in esecuzione")) << second.err;
    EXPECT_EQ(runCli({t.expand("ini:{conf}"), "verifica:y"}, program, env).exitCode, 0)
        << "a report takes no instance lock";
#ifdef Q_OS_WIN
    scheduled.kill();  // a user's stop (Ctrl+Break) reaches no process under wine: no orderly close here
    scheduled.waitForFinished();
#else
    scheduled.terminate();
    ASSERT_TRUE(scheduled.waitForFinished(10000));
    EXPECT_EQ(scheduled.exitCode(), 0);
    const QByteArray closed = t.tree.read("track/" + kTrackingFileName);
    EXPECT_TRUE(closed.startsWith(tracking) && closed.mid(tracking.size()).contains(" Apertura ") &&
                closed.endsWith(" CHIUSURA  DOKIVO \r\n"))
        << closed;
#endif

    EXPECT_FALSE(r.out.toUtf8().contains(secret) || r.err.toUtf8().contains(secret));
    for (const QString& entry : snapshot(t.tree.path())) {
        const QString path = entry.section(' ', 0, -3);
        const QString top = path.mid(t.tree.path().size()).section('/', 0, 0);  // the iterator's "/"
        if (QFileInfo(path).isFile() && top != "pwd" && top != "tool-arguments.txt" &&
            !path.contains("encryptpdf")) {
            QFile f(path);
            EXPECT_TRUE(f.open(QIODevice::ReadOnly) && !f.readAll().contains(secret)) << path;
        }
        if (before.contains(entry))
            continue;
        EXPECT_TRUE(QStringList({"in", "out", "bak", "dup", "log", "track", "app", "tool-arguments.txt"})
                        .contains(top))
            << "written: " << path;
        EXPECT_FALSE(QFile::permissions(path) & others) << path;
    }
    for (const QString& var : homes)
        EXPECT_EQ(sandbox.entries(var), QStringList()) << var;
    // The single-instance guard's lock file and socket are all that lands in the temporary folder.
    for (const QString& name : sandbox.entries("tmp"))
        EXPECT_TRUE(name.startsWith("dokivo-test-")) << name;
}

// Two installations on one shared tree (two program folders, two instance keys, one Dokivo.ini)
// started together: each document is filed and recorded once, nothing counts as a duplicate and
// no pass fails. Then one is killed while it holds the input folder's lock: the other's next pass
// files the rest.
TEST(ConsoleProgram, TwoInstallationsOnOneSharedFolderFileEachDocumentOnce) {
#ifdef Q_OS_WIN
    const int documents = 500;  // wine runs such a pass several times slower
#else
    const int documents = 2000;
#endif
    PassTree t;
    t.lay({"@dir_backup_0={bak}", "@dir_doppioni_0={dup}"});
    const auto lay = [&t](int from, int to) {
        for (int i = from; i < to; ++i)
            t.tree.write(QStringLiteral("in/d%1.pdf").arg(i), QByteArray::number(i));
    };
    lay(0, documents);
    t.saveIni();
    QProcess installations[2];
    QStringList programs;
    for (const char* folder : {"app/", "app2/"}) {
        programs << t.tree.folder(folder) + QFileInfo(DOKIVO_CLI_PATH).fileName();
        ASSERT_TRUE(QFile::copy(DOKIVO_CLI_PATH, programs.back()));
    }
    const auto start = [&](int n) {
        installations[n].setProcessEnvironment(cliEnvironment());
        installations[n].start(programs[n], {t.expand("ini:{conf}"), "run:y"});
    };
    for (int pass = 0; pass < 2 && !t.tree.entries("in").isEmpty(); ++pass) {
        start(0), start(1);
        for (QProcess& p : installations) {
            ASSERT_TRUE(p.waitForFinished(600000));
            EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        }
    }
    EXPECT_EQ(t.tree.entries("in"), QStringList());
    EXPECT_EQ(t.tree.entries("out").size(), documents);
    EXPECT_EQ(t.tree.entries("dup"), QStringList());
    QStringList records;
    for (const QString& name : t.tree.entries("log"))
        records << QString(t.tree.read("log/" + name)).split("\r\n", Qt::SkipEmptyParts).mid(1);
    EXPECT_EQ(records.size(), documents);
    EXPECT_EQ(QSet<QString>(records.begin(), records.end()).size(), documents);
    EXPECT_FALSE(t.tree.read("track/" + kTrackingFileName).contains(" Lettura Cartella "));

#ifndef Q_OS_WIN
    lay(2000, 3000);
    t.set("dir_doppioni_0");  // a killed delivery leaves copies the next pass takes again
    t.saveIni();
    start(0);
    const QString holder = QStringLiteral("(pid %1)").arg(installations[0].processId());
    while (!t.tree.read("in/" + platform::kFolderLockName).contains(holder.toUtf8()) &&
           installations[0].state() == QProcess::Running)
        QThread::msleep(1);
    ::kill(static_cast<pid_t>(installations[0].processId()), SIGKILL);
    installations[0].waitForFinished();
    start(1);
    ASSERT_TRUE(installations[1].waitForFinished(120000));
    EXPECT_EQ(installations[1].exitCode(), 0);
    EXPECT_EQ(t.tree.entries("in"), QStringList());
    EXPECT_EQ(t.tree.entries("out").filter(".pdf").size(), 3000);  // the killed one's copies left aside
#endif
}
