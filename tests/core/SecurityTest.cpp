// What the program must keep to itself and where it may write: the encryption password never
// shows in any output, the files it creates are no more open than the user's umask allows,
// and a pass writes only into the configured folders and its own folder.

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QProcess>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

#include "platform/DateText.h"
#include "platform/DurableCopy.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "processing/RecordFile.h"
#include "support/CliRunner.h"
#include "support/StandIn.h"
#include "support/TestSupport.h"

using namespace dokivo;
using dokivo::test::TempTree;

namespace {

const QString kPassword = QStringLiteral("Segreto 77!");

// A tree for one real console run: the program's own folder with a copy of dokivo-cli, a slot
// with backup and duplicates folders, and a tracking folder.
struct ConsoleTree {
    TempTree tree;
    QString app = tree.folder("app");
    QString conf = tree.folder("conf");

    QString program = dokivo::test::installCliCopy(app);

    ConsoleTree(bool encrypt) {
        QString ini = "[TUTTI]\r\ndir_log_generale=" + tree.folder("track") +
                      "\r\ndir_pwd=" + tree.folder("pwd") + "\r\ndir_in_0=" + tree.folder("in") +
                      "\r\ndir_out_0=" + tree.folder("out") + "\r\ndir_log_0=" + tree.folder("log") +
                      "\r\ndir_backup_0=" + tree.folder("bak") + "\r\ndir_doppioni_0=" + tree.folder("dup") +
                      "\r\ndir_nazionale_0=CREA:AA/MM/GG;\r\n";
        if (encrypt)
            ini += "gestione_pwd_0=1\r\n";
        tree.write("conf/Dokivo.ini", ini.toUtf8());
    }
    // The encryption tool's stand-in: notes its arguments, one per line, and writes the copy.
    void installFakeTool() {
        dokivo::test::installStandIn(app + "encryptpdf.exe",
                                     {"args " + tree.path("tool-arguments.txt"), "copy 2 4"});
    }
    dokivo::test::CliResult run(const QProcessEnvironment& env = dokivo::test::cliEnvironment()) {
        return dokivo::test::runCli({"ini:" + conf, "run:y"}, program, env);
    }
    // Every file below the tree, with its size and modification time.
    QMap<QString, QString> snapshot() const {
        QMap<QString, QString> files;
        QDirIterator it(tree.path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            files.insert(info.filePath(), QString::number(info.size()) + "@" +
                                              QString::number(info.lastModified().toMSecsSinceEpoch()));
        }
        return files;
    }
    QByteArray allOf(const QString& folder) const {
        QByteArray bytes;
        QDirIterator it(tree.path(folder), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            if (f.open(QIODevice::ReadOnly))
                bytes += f.readAll();
        }
        return bytes;
    }
};

#ifndef Q_OS_WIN
mode_t modeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : 07777;
}

class Umask {
  public:
    explicit Umask(mode_t mask) : previous_(::umask(mask)) {}
    ~Umask() { ::umask(previous_); }

  private:
    mode_t previous_;
};
#endif

}  // namespace

TEST(SecretPassword, NeverShowsInTheListTheTrackingFileStandardOutputOrTheRecords) {
    ConsoleTree t(true);
    t.installFakeTool();
    platform::writeProfileString("0", "P", kPassword, t.tree.path("pwd/ao.dat"));
    t.tree.write("in/Scan 1.pdf", "%PDF-1.4 scan");

    const auto r = t.run();
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    const QByteArray arguments = t.tree.read("tool-arguments.txt");
    if (arguments.isEmpty())
        GTEST_SKIP() << "the encryption step does not start the tool yet";
    EXPECT_TRUE(arguments.contains(("\n-u\n" + kPassword + "\n").toUtf8())) << "the tool got the password";
    EXPECT_FALSE(t.tree.exists("in/Scan 1.pdf")) << "the protected copy was filed";

    const QByteArray secret = kPassword.toUtf8();
    EXPECT_FALSE(r.out.toUtf8().contains(secret)) << "standard output (the operations list)";
    EXPECT_FALSE(r.err.toUtf8().contains(secret));
    EXPECT_FALSE(t.allOf("track").contains(secret)) << "tracking file";
    EXPECT_FALSE(t.allOf("app").contains(secret)) << "record files in the program's folder";
    EXPECT_FALSE(t.allOf("log").contains(secret)) << "record files in the log folder";
    EXPECT_FALSE(t.tree.read("app/" + platform::kTemporaryCopyName).contains(secret));
}

TEST(FilePermissions, ThePasswordFileAndRecordFilesAreNoMoreOpenThanTheUmask) {
#ifdef Q_OS_WIN
    GTEST_SKIP()
        << "file modes and the umask are POSIX; on Windows a new file takes its folder's access list";
#else
    for (const mode_t mask : {mode_t(022), mode_t(077)}) {
        SCOPED_TRACE(mask);
        Umask scoped(mask);
        TempTree tree;
        ASSERT_TRUE(platform::writeProfileString("3", "P", kPassword, tree.path("ao.dat")));
        EXPECT_EQ(modeOf(tree.path("ao.dat")) & mask, 0u) << std::oct << modeOf(tree.path("ao.dat"));
        // A later write keeps the file as closed as it is.
        ::chmod(QFile::encodeName(tree.path("ao.dat")).constData(), 0600);
        ASSERT_TRUE(platform::writeProfileString("4", "P", kPassword, tree.path("ao.dat")));
        EXPECT_EQ(modeOf(tree.path("ao.dat")), 0600u);

        RecordFile record;
        qint64 sequence = 1;
        record.open(tree.folder("rec"), QDateTime(QDate(2024, 3, 5), QTime(14, 3, 7)), sequence);
        record.close();
        EXPECT_EQ(modeOf(record.path()) & mask, 0u) << std::oct << modeOf(record.path());
        record.handOver(tree.folder("log"));
        EXPECT_EQ(modeOf(tree.path("log/" + record.name())) & mask, 0u);
    }
#endif
}

TEST(WritePlaces, APassWritesOnlyIntoItsFoldersAndTheProgramsOwnFolder) {
    ConsoleTree t(false);
    t.tree.write("in/a.pdf", "scan a");
    t.tree.write("in/b.pdf", "scan b");
    // b's name is taken in its dated folder, so it goes to the duplicates folder.
    const QDateTime created = platform::regularFileInfo(t.tree.path("in/b.pdf"))->created;
    const QString dated = platform::formatDate(created, platform::DatePattern::YY) + "/" +
                          platform::formatDate(created, platform::DatePattern::MM) + "/" +
                          platform::formatDate(created, platform::DatePattern::DD) + "/";
    t.tree.write("out/" + dated + "b.pdf", "b filed earlier");
    t.tree.write("pwd/ao.dat", "[0]\r\nP=x\r\n");
    TempTree sandbox;  // the user's home, data, configuration and temporary folders
    QProcessEnvironment env = dokivo::test::cliEnvironment();
    for (const char* var : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
        env.insert(var, sandbox.folder(var));
    for (const char* var : {"TMPDIR", "TMP", "TEMP"})  // TMP and TEMP on Windows
        env.insert(var, sandbox.folder("tmp"));
    const auto before = t.snapshot();

    const auto r = t.run(env);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_TRUE(t.tree.exists("dup/b.pdf"));
    const QStringList writable{"in", "out", "bak", "dup", "log", "track", "app"};
    const auto after = t.snapshot();
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (before.value(it.key()) == it.value())
            continue;
        const QString rel = it.key().mid(t.tree.path().size());
        EXPECT_TRUE(writable.contains(rel.section('/', 0, 0))) << "written: " << rel;
    }
    for (const char* var : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
        EXPECT_EQ(sandbox.entries(var), QStringList()) << var;
    // The single-instance guard's lock file and socket are all that lands in the temporary folder.
    for (const QString& name : sandbox.entries("tmp"))
        EXPECT_TRUE(name.startsWith("dokivo-test-")) << name.toStdString();
}
