// Whatever lies in an input folder, the pass neither follows nor blocks on it: odd names are
// filed under their own name inside the destination, names that are not text and everything
// that is not a regular file stay where they are, untouched, and the pass reaches its end.

#include <gtest/gtest.h>

#include <QtGlobal>
#include <csignal>
#include <functional>
#include <future>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include "app/WriteIni.h"
#include "config/Settings.h"
#include "logs/TrackingFile.h"
#include "platform/DurableCopy.h"
#include "platform/RunError.h"
#include "processing/DeliveryJournal.h"
#include "scan/ScanDriver.h"
#include "support/TestSupport.h"

using namespace dokivo;
using dokivo::test::ModuleFixture;

namespace {

struct HostileSlot : ModuleFixture {
    QString in = tree.folder("in");
    QString out = tree.folder("out");
    QString log = tree.folder("log");
    HostileSlot() {
        writeIni("[TUTTI]\r\ndir_in_0=" + in + "\r\ndir_out_0=" + out + "\r\ndir_log_0=" + log +
                 "\r\ndir_log_generale=" + tree.folder("track") + "\r\n");
    }
    QByteArray nativeIn(const QByteArray& name) const { return QFile::encodeName(in) + name; }
};

#ifndef Q_OS_WIN
// By its bytes: a name that is not valid UTF-8 cannot be made through QString.
void writeRaw(const QByteArray& path, const QByteArray& bytes) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, bytes.constData(), bytes.size()), bytes.size());
    ::close(fd);
}
#endif

// What the kinds of entry below are on Windows, whose file systems have none of them.
constexpr const char* kNoSuchEntriesOnWindows =
    "names that are not text, FIFOs, sockets and device nodes exist only on POSIX file systems; "
    "links on Windows are covered by FolderPass.LinksFifosAndTemporaryLeftoversAreLeftAlone";

}  // namespace

TEST(HostileNames, OddButValidNamesAreFiledUnderTheirOwnNameInsideTheDestination) {
    HostileSlot f;
    const QString longName = QString(251, 'n') + ".pdf";  // 255 characters, the longest a name can be
    QStringList names{"a b  c.pdf", longName, "-rf.pdf", "..pdf", "città é.pdf"};
    QStringList lineBreaking;
#ifndef Q_OS_WIN  // names Windows does not allow
    names << "..\\..\\x.pdf";
    // A tab, CR or LF would break the record's columns and the tracking file's lines: such a
    // document stays, and its line shows the characters.
    lineBreaking << "tab\there.pdf"
                 << "new\nline.pdf"
                 << "cr\rhere.pdf";
#endif
    for (const QString& name : names + lineBreaking)
        f.tree.write("in/" + name, name.toUtf8());

    LEGGI_DIR(f.m());
    EXPECT_TRUE(f.messages().filter(" Lettura Cartella ").isEmpty()) << f.messages().join('\n');
    EXPECT_TRUE(f.messages().contains(" Elaborati : " + QString::number(names.size())));
    QStringList filed;
    for (const QString& name : names) {
        const QString destination = QString(name).replace(' ', '_');
        EXPECT_EQ(f.tree.read("out/" + destination), name.toUtf8()) << name;
        EXPECT_FALSE(f.tree.exists("in/" + name)) << name;
        filed << destination;
    }
    filed.sort();
    QStringList present = f.tree.entries("out");
    present.sort();
    EXPECT_EQ(present, filed) << "nothing lands beside or above the destination";
    EXPECT_EQ(f.tree.entries().filter("x.pdf").size(), 0);

    EXPECT_EQ(f.tree.entries("in").size(), lineBreaking.size());
    const QString left = " File non elaborato: il nome contiene una tabulazione o un a capo : " + f.in;
#ifndef Q_OS_WIN
    for (const char* shown : {"tab<TAB>here.pdf", "new<LF>line.pdf", "cr<CR>here.pdf"})
        EXPECT_TRUE(f.messages().contains(left + shown)) << shown;
#endif
    for (const QString& line : f.m().operations.lines())
        EXPECT_FALSE(line.contains('\t') || line.contains('\r') || line.contains('\n')) << line;
}

TEST(HostileNames, ANameThatIsNotTextStaysAndDoesNotStopThePass) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << kNoSuchEntriesOnWindows;
#else
    HostileSlot f;
    writeRaw(f.nativeIn("bad\xff\xfe.pdf"), "not text");
    f.tree.write("in/good.pdf", "good");

    LEGGI_DIR(f.m());
    EXPECT_EQ(f.tree.read("out/good.pdf"), "good");
    struct stat st {};
    EXPECT_EQ(::stat(f.nativeIn("bad\xff\xfe.pdf").constData(), &st), 0) << "left in its input folder";
    EXPECT_EQ(f.tree.entries("out"), QStringList{"good.pdf"});
    EXPECT_TRUE(f.messages().contains(" Elaborati : 1"));
    ::unlink(f.nativeIn("bad\xff\xfe.pdf").constData());  // the temporary tree cannot name it
#endif
}

TEST(HostileEntries, LinksFifosDevicesAndSocketsAreNeitherFollowedNorTouched) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << kNoSuchEntriesOnWindows;
#else
    HostileSlot f;
    f.tree.write("outside/secret.pdf", "secret");
    const QByteArray secret = QFile::encodeName(f.tree.path("outside/secret.pdf"));
    ASSERT_EQ(::symlink(secret.constData(), f.nativeIn("link.pdf").constData()), 0);
    ASSERT_EQ(::symlink("/nonexistent/dangling.pdf", f.nativeIn("dangling.pdf").constData()), 0);
    ASSERT_EQ(
        ::symlink(QFile::encodeName(f.tree.folder("outside")).constData(), f.nativeIn("dir.pdf").constData()),
        0);
    ASSERT_EQ(::mkfifo(f.nativeIn("pipe.pdf").constData(), 0644), 0);
    const bool device = ::mknod(f.nativeIn("null.pdf").constData(), S_IFCHR | 0644, makedev(1, 3)) == 0;
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray sockPath = f.nativeIn("sock.pdf");
    const bool socketMade = sockPath.size() < qsizetype(sizeof addr.sun_path) &&
                            (std::memcpy(addr.sun_path, sockPath.constData(), sockPath.size()), true) &&
                            ::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    f.tree.write("in/real.pdf", "real");

    // A pass that opened the FIFO would wait for a writer for ever; run it apart and give up
    // waiting only when it clearly hangs.
    auto pass = std::async(std::launch::async, [&] { LEGGI_DIR(f.m()); });
    ASSERT_EQ(pass.wait_for(std::chrono::seconds(60)), std::future_status::ready) << "the pass blocked";
    pass.get();
    ::close(sock);

    EXPECT_EQ(f.tree.read("out/real.pdf"), "real");
    EXPECT_EQ(f.tree.entries("out"), QStringList{"real.pdf"}) << "no link, pipe or device was copied";
    EXPECT_EQ(f.tree.read("outside/secret.pdf"), "secret");
    QStringList expected{"dangling.pdf", "dir.pdf", "link.pdf", "pipe.pdf"};
    if (device)
        expected << "null.pdf";
    if (socketMade)
        expected << "sock.pdf";
    expected.sort();
    EXPECT_EQ(f.tree.entries("in"), expected);
    struct stat st {};
    ASSERT_EQ(::lstat(f.nativeIn("link.pdf").constData(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_TRUE(f.messages().contains(" Elaborati : 1"));
#endif
}

TEST(HostileEntries, ACopyFromAFifoFailsAtOnceInsteadOfWaitingForAWriter) {
    // A FIFO can take a listed file's name between the listing and the copy.
#ifdef Q_OS_WIN
    GTEST_SKIP() << kNoSuchEntriesOnWindows;
#else
    dokivo::test::TempTree tree;
    const QByteArray fifo = QFile::encodeName(tree.path("late.pdf"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0644), 0);
    auto copy = std::async(std::launch::async, [&] {
        try {
            platform::copyFileDurably(tree.path("late.pdf"), tree.folder("out") + "late.pdf");
            return 0;
        } catch (const platform::RunError& e) {
            return e.number();
        }
    });
    if (copy.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
        // Unblock the copy so the test can end, then report the hang.
        const int fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
        ::close(fd);
        copy.wait();
        FAIL() << "the copy waited for a writer on the FIFO";
    }
    EXPECT_EQ(copy.get(), platform::errnum::FileNotFound);
    EXPECT_TRUE(tree.entries("out").isEmpty());
#endif
}

TEST(HostileEntries, AFifoUnderANameTheProgramOpensIsRefusedAtOnce) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << kNoSuchEntriesOnWindows;
#else
    const QString otherIni = QStringLiteral("other/Dokivo.ini");
    const struct {
        QString fifo;
        std::function<void(HostileSlot&)> act;
        std::function<void(HostileSlot&)> check;
    } cases[] = {
        {"track/" + kTrackingFileName,
         [](HostileSlot& f) {
             f.m().settings.dir_log_generale = f.tree.path("track");
             f.m().addLine(" riga");
             f.m().flushTrackingFile();
         },
         [](HostileSlot& f) {
             EXPECT_EQ(f.m().operations.size(), 1) << "the lines wait for the next flush";
         }},
        {otherIni,
         [&](HostileSlot& f) { WriteIni(f.m(), kIniSection, "chiave", "valore", f.tree.path(otherIni)); },
         [&](HostileSlot& f) {
             EXPECT_TRUE(f.messages().contains(" Errore in scrittura nel file " + f.tree.path(otherIni)));
             EXPECT_EQ(ReadIni(kIniSection, "chiave", "<assente>", f.tree.path(otherIni)), "<assente>");
         }},
        {"app/" + kJournalFileName,
         [](HostileSlot& f) {
             f.tree.write("in/a.pdf", "scan a");
             LEGGI_DIR(f.m());
         },
         [](HostileSlot& f) { EXPECT_EQ(f.tree.read("out/a.pdf"), "scan a"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fifo.toStdString());
        HostileSlot f;
        f.tree.folder("track");
        f.tree.folder("other");
        const QByteArray fifo = QFile::encodeName(f.tree.path(c.fifo));
        ASSERT_EQ(::mkfifo(fifo.constData(), 0644), 0);
        auto run = std::async(std::launch::async, [&] { c.act(f); });
        if (run.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
            // Open and close the other end: the waiting open returns, then meets an end of file
            // or a broken pipe, and the test can end.
            std::signal(SIGPIPE, SIG_IGN);
            ::close(::open(fifo.constData(), O_RDWR | O_NONBLOCK));
            run.wait();
            ADD_FAILURE() << "the open waited on the FIFO";
            continue;
        }
        run.get();
        c.check(f);
    }
#endif
}
