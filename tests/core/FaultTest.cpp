// Faults of the file system around a folder pass: a full disk, folders that refuse writes or
// vanish while the pass runs, a missing tracking folder. In every case the document that could
// not be filed stays in its input folder, the pass says why, what was filed before stays whole,
// and the next pass, once the fault is gone, files the rest.

#include <gtest/gtest.h>

#include <memory>

#include "logs/TrackingFile.h"
#include "platform/DurableCopy.h"
#include "platform/FileSystem.h"
#include "processing/DeliveryJournal.h"
#include "processing/FolderPass.h"
#include "scan/ScanDriver.h"
#include "support/FileSystemFaults.h"
#include "support/TestSupport.h"

using namespace dokivo;
using dokivo::test::ModuleFixture;
using dokivo::test::ReadOnlyFolder;
using dokivo::test::TinyFileSystem;

namespace {

// Slot 0 with every folder in the fixture's tree; the backup and duplicates folders are only
// set when asked for.
struct FaultSlot : ModuleFixture {
    QString in = tree.folder("in");
    QString out = tree.folder("out");
    QString log = tree.folder("log");
    QString bak;
    QString dup;

    void configure(bool withBackup, bool withDuplicates, const QString& parameters = {}) {
        bak = withBackup ? tree.folder("bak") : QString();
        dup = withDuplicates ? tree.folder("dup") : QString();
        writeIni("[TUTTI]\r\ndir_in_0=" + in + "\r\ndir_out_0=" + out + "\r\ndir_log_0=" + log +
                 "\r\ndir_backup_0=" + bak + "\r\ndir_doppioni_0=" + dup + "\r\ndir_nazionale_0=" +
                 parameters + "\r\ndir_log_generale=" + tree.folder("track") + "\r\n");
    }
    void pass() { LEGGI_DIR(m()); }
    bool hasLine(const QString& text) const { return messages().contains(text); }
    QStringList errorLines() const { return messages().filter(QStringLiteral(" Lettura Cartella ")); }
    // Record lines (header excluded) over every record file of the application folder.
    int recordLines() const {
        int n = 0;
        for (const QString& name : tree.entries("app"))
            if (name.startsWith("dokivolog"))
                n += tree.read("app/" + name).count("\r\n") - 1;
        return n;
    }
};

QByteArray bytesOf(int size, char fill) {
    return QByteArray(size, fill);
}

}  // namespace

TEST(FaultFullDisk, TheDocumentStaysAndTheFiledOnesStayWhole) {
    FaultSlot f;
    TinyFileSystem tiny(f.out);
    if (!tiny.mounted())
        GTEST_SKIP() << "mounting a tmpfs is not allowed here; the full-disk case is not run";
    f.configure(true, false);
    f.tree.write("out/filed.pdf", bytesOf(20 * 1024, 'F'));
    f.tree.write("out/filler.bin", bytesOf(270 * 1024, 'x'));  // leaves less room than the scan needs
    const QByteArray scan = bytesOf(64 * 1024, 's');
    f.tree.write("in/big.pdf", scan);

    f.pass();
    EXPECT_EQ(f.errorLines(), QStringList{" Lettura Cartella 28 61 Disco pieno : " + f.in + "big.pdf"});
    EXPECT_EQ(f.tree.read("in/big.pdf"), scan);
    EXPECT_EQ(f.tree.read("out/filed.pdf"), bytesOf(20 * 1024, 'F'));
    EXPECT_FALSE(f.tree.exists("out/big.pdf"));
    EXPECT_TRUE(f.tree.entries("out").filter(".~dokivo").isEmpty()) << "the half copy is removed";
    EXPECT_EQ(f.recordLines(), 0);

    QFile::remove(f.tree.path("out/filler.bin"));
    f.pass();
    EXPECT_EQ(f.tree.read("out/big.pdf"), scan);
    EXPECT_EQ(f.tree.read("bak/big.pdf"), scan);
    EXPECT_FALSE(f.tree.exists("in/big.pdf"));
    EXPECT_EQ(f.recordLines(), 1);
}

TEST(FaultFullDisk, ATrackingFlushThatDoesNotFitLeavesTheFileAsItWasAndTheNextOneWritesEachLineOnce) {
    FaultSlot f;
    const QString track = f.tree.folder("track");
    TinyFileSystem tiny(track);
    if (!tiny.mounted())
        GTEST_SKIP() << "mounting a tmpfs is not allowed here; the full-disk case is not run";
    f.m().settings.dir_log_generale = track;
    f.tree.write("track/" + kTrackingFileName, "earlier\r\n");
    f.tree.write("track/filler.bin", bytesOf(280 * 1024, 'x'));
    for (int i = 0; i < 2000; ++i)  // some 60 KB, three times the room that is left
        f.m().addLine(" riga " + QString::number(i));

    f.m().flushTrackingFile();
    EXPECT_EQ(f.m().operations.size(), 2000);
    EXPECT_EQ(f.tree.read("track/" + kTrackingFileName), "earlier\r\n") << "no part of the flush stays";

    QFile::remove(f.tree.path("track/filler.bin"));
    f.m().flushTrackingFile();
    EXPECT_EQ(f.m().operations.size(), 0);
    const QByteArray tracking = f.tree.read("track/" + kTrackingFileName);
    EXPECT_EQ(tracking.count("\r\n"), 2001);
    EXPECT_EQ(tracking.count(" riga 0\r\n"), 1);
    EXPECT_TRUE(tracking.endsWith(" riga 1999\r\n"));
}

TEST(FaultReadOnlyFolder, EachTargetThatRefusesWritesStopsThePassAtItsStep) {
    struct Case {
        const char* folder;
        bool nameTaken;
        const char* line;
    };
    const Case cases[] = {
        {"out", false, " Lettura Cartella 28 70 Autorizzazione negata"},
        {"bak", false, " Lettura Cartella 27 70 Autorizzazione negata"},
        {"dup", true, " Lettura Cartella 29 70 Autorizzazione negata"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        FaultSlot f;
        f.configure(true, true);
        if (c.nameTaken)
            f.tree.write("out/a.pdf", "filed earlier");
        f.tree.write("bak/old.pdf", "an earlier backup");
        f.tree.write("in/a.pdf", "scan a");
        {
            ReadOnlyFolder locked(f.tree.path(c.folder));
            if (!locked.effective())
                GTEST_SKIP() << "this file system cannot make a folder read-only for root";
            f.pass();
        }
        EXPECT_EQ(f.errorLines(), QStringList{c.line + (" : " + f.in + "a.pdf")});
        EXPECT_EQ(f.tree.read("in/a.pdf"), "scan a");
        EXPECT_EQ(f.tree.read("bak/old.pdf"), "an earlier backup");
        if (c.nameTaken) {
            EXPECT_EQ(f.tree.read("out/a.pdf"), "filed earlier");
        }
        EXPECT_TRUE(f.tree.entries(c.folder).filter(".~dokivo").isEmpty());
        EXPECT_EQ(f.recordLines(), 0);

        f.pass();
        EXPECT_FALSE(f.tree.exists("in/a.pdf"));
        EXPECT_EQ(f.tree.read(c.nameTaken ? "dup/a.pdf" : "out/a.pdf"), "scan a");
        EXPECT_EQ(f.tree.read("bak/a.pdf"), "scan a");
        EXPECT_EQ(f.recordLines(), c.nameTaken ? 0 : 1);
    }
}

TEST(FaultReadOnlyFolder, AnInputFolderThatKeepsTheDocumentLeavesItsNumberedCopyToTheJournal) {
    // The duplicates copy had to take a numbered name; the journal must name that copy, so that
    // the next pass finishes the document rather than filing it a second time.
    FaultSlot f;
    f.configure(false, true);
    f.tree.write("out/a.pdf", "filed earlier");
    f.tree.write("dup/a.pdf", "an earlier duplicate");
    f.tree.write("in/a.pdf", "scan a");
    {
        ReadOnlyFolder locked(f.in);
        if (!locked.refusesEveryWrite())
            GTEST_SKIP() << "here a folder cannot be made to keep its files (wine does not enforce folder "
                            "permissions; root on a file system without the immutable attribute)";
        f.pass();
    }
    EXPECT_EQ(f.errorLines(),
              QStringList{" Lettura Cartella 32 70 Autorizzazione negata : " + f.in + "a.pdf"});
    EXPECT_EQ(f.tree.read("dup/a (2).pdf"), "scan a");

    f.pass();
    EXPECT_FALSE(f.tree.exists("in/a.pdf"));
    EXPECT_EQ(f.tree.entries("dup"), (QStringList{"a (2).pdf", "a.pdf"}));
    EXPECT_EQ(f.tree.read("dup/a.pdf"), "an earlier duplicate");
    EXPECT_EQ(f.messages().filter(" Copiato ").size(), 1) << "filed once";
}

TEST(FaultUnreadableDocument, ItGetsItsLineAndTheRestOfTheFolderIsFiled) {
    // Another program holds the first document (a write lease, as a file server holds one for a
    // client that has the file open): it cannot be read for now.
    FaultSlot f;
    f.configure(true, false);
    for (const char* name : {"a.pdf", "b.pdf", "c.pdf"})
        f.tree.write(QStringLiteral("in/") + name, name);
    const QString held = platform::listRegularFiles(f.in).front().name;
    auto holder = std::make_unique<dokivo::test::HeldByAnotherProgram>(f.in + held);
    ASSERT_TRUE(holder->held());

    f.pass();
    holder.reset();
#ifdef Q_OS_WIN
    // A file another program holds open is, to Windows, one still being written: passed over
    // without a word, like any file still arriving.
    EXPECT_TRUE(f.errorLines().isEmpty());
#else
    EXPECT_EQ(f.errorLines(), QStringList{" Lettura Cartella 27 70 Autorizzazione negata : " + f.in + held});
#endif
    EXPECT_EQ(f.tree.read("in/" + held), held.toUtf8());
    EXPECT_FALSE(f.tree.exists("bak/" + held));
    EXPECT_EQ(f.tree.entries("out").size(), 2);
    EXPECT_TRUE(f.hasLine(" Elaborati : 2"));
    EXPECT_EQ(f.recordLines(), 2);

    f.pass();
    EXPECT_EQ(f.tree.read("out/" + held), held.toUtf8());
    EXPECT_TRUE(f.tree.entries("in").isEmpty());
}

TEST(FaultVanishingFolder, ALogFolderGoneBeforeTheHandOverLeavesTheRecordInTheApplicationFolder) {
    FaultSlot f;
    f.configure(false, false);
    f.tree.write("in/a.pdf", "scan a");
    f.m().flags.run_flag = "y";  // the message box at the end of the folder pass comes before the hand-over
    f.frontend.onMessage = [&](const QString&) { QDir(f.log).removeRecursively(); };

    f.pass();
    EXPECT_TRUE(f.errorLines().isEmpty()) << "the hand-over reports nothing";
    EXPECT_EQ(f.tree.read("out/a.pdf"), "scan a");
    EXPECT_FALSE(f.tree.exists("in/a.pdf"));
    EXPECT_EQ(f.recordLines(), 1);
    EXPECT_FALSE(f.tree.exists("log"));

    // Without its log folder the slot is left alone; once it is back, the slot runs again.
    f.frontend.onMessage = nullptr;
    f.tree.write("in/b.pdf", "scan b");
    f.pass();
    EXPECT_TRUE(
        f.hasLine(" Non riesco ad accedere ad una delle tre dir " + f.in + " " + f.out + " " + f.log));
    EXPECT_EQ(f.tree.read("in/b.pdf"), "scan b");
    f.tree.folder("log");
    f.pass();
    EXPECT_EQ(f.tree.read("out/b.pdf"), "scan b");
    EXPECT_EQ(f.tree.entries("log").size(), 1);
}

TEST(FaultVanishingFolder, AnInputFolderRemovedAfterTheDriverTestedItEndsThePassAtStep3) {
    FaultSlot f;
    f.configure(false, false);
    f.tree.write("out/filed.pdf", "filed earlier");
    SlotContext& ctx = f.m().slot;
    ctx.folder = f.tree.path("gone/");  // as the driver filled it a moment ago
    ctx.dest_folder = f.out;
    ctx.log_folder = f.log;
    ctx.backup_folder = "/";
    ctx.duplicates_folder = "/";

    letturacartella(f.m().passEnvironment());
    const QStringList lines = f.messages();
    ASSERT_EQ(lines.size(), 2) << lines.join('\n').toStdString();
    EXPECT_EQ(lines[0], " Inizio lettura contenuto : " + f.tree.path("gone/"));
    EXPECT_EQ(lines[1], " Lettura Cartella 3 76 Impossibile trovare il percorso");
    EXPECT_EQ(f.tree.read("out/filed.pdf"), "filed earlier");

    f.tree.write("gone/a.pdf", "scan a");
    letturacartella(f.m().passEnvironment());
    EXPECT_EQ(f.tree.read("out/a.pdf"), "scan a");
    EXPECT_FALSE(f.tree.exists("gone/a.pdf"));
}

TEST(FaultMissingTrackingFolder, ThePassFilesAndTheLinesWaitForTheFolder) {
    FaultSlot f;
    f.configure(false, false);
    f.writeIni("[TUTTI]\r\ndir_in_0=" + f.in + "\r\ndir_out_0=" + f.out + "\r\ndir_log_0=" + f.log +
               "\r\ndir_log_generale=" + f.tree.path("track-missing") + "\r\n");
    for (int i = 0; i < 501; ++i)  // long enough to be flushed at the end of the pass
        f.m().addLine(" earlier " + QString::number(i));
    f.tree.write("in/a.pdf", "scan a");

    f.pass();
    EXPECT_EQ(f.tree.read("out/a.pdf"), "scan a");
    EXPECT_TRUE(f.hasLine(" File elaborato : " + f.in + "a.pdf")) << "the lines stay in the list";
    EXPECT_TRUE(f.hasLine(" earlier 0"));

    f.tree.folder("track-missing");
    f.pass();
    const QByteArray tracking = f.tree.read("track-missing/" + kTrackingFileName);
    EXPECT_TRUE(tracking.contains(" earlier 0\r\n"));
    EXPECT_TRUE(tracking.contains((" File elaborato : " + f.in + "a.pdf\r\n").toUtf8()));
    EXPECT_EQ(f.m().operations.size(), 0);
}

TEST(FaultCrashLeftover, ATemporaryCopyInADatedFolderIsRemovedByTheNextPass) {
    // A kill during the final copy into a dated folder, after which the document was taken out
    // of the input folder by hand: no later copy goes into that folder to reuse the leftover.
    FaultSlot f;
    f.configure(false, false, "CREA:AA/MM/GG;");
    const QString dated = f.tree.folder("out/24/03/05");
    const QString temporary = dated + ".~dokivo-copia-1.tmp";
    f.tree.write("out/24/03/05/.~dokivo-copia-1.tmp", "half a cop");
    {
        DeliveryJournal journal(f.m().folders.records);
        journal.noteTemporary(temporary);
        journal.noteDocument({f.in + "a.pdf", dated + "a.pdf", QString(),
                              f.tree.path("app/dokivolog05140307_1.txt"), f.log, 0,
                              "a.pdf\t" + dated.toUtf8()});
    }

    f.pass();
    EXPECT_FALSE(QFile::exists(temporary));
    EXPECT_FALSE(f.tree.exists("out/24/03/05/a.pdf"));
    EXPECT_FALSE(f.tree.exists("app/" + kJournalFileName));
    EXPECT_EQ(f.recordLines(), 0);
}
