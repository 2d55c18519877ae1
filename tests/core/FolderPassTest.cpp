#include <gtest/gtest.h>

#include <QThread>
#include <atomic>

#include "platform/DateText.h"
#include "platform/DurableCopy.h"
#include "platform/FileSystem.h"
#include "platform/RunError.h"
#include "processing/FolderPass.h"
#include "support/FileSystemFaults.h"
#include "support/PassFixture.h"

using namespace dokivo;
using dokivo::test::PassFixture;

namespace {

struct FolderPass : PassFixture, ::testing::Test {
    QString today(platform::DatePattern p) const {
        return platform::formatDate(QDateTime::currentDateTime(), p);
    }
    QString datedRel() const {
        return today(platform::DatePattern::YY) + "/" + today(platform::DatePattern::MM) + "/" +
               today(platform::DatePattern::DD) + "/";
    }
    // The names of slot 0's input folder in the order the pass will take them.
    QStringList listingOrder() const {
        QStringList names;
        for (const auto& f : platform::listRegularFiles(in(0)))
            names << f.name;
        return names;
    }
    QList<QByteArray> recordLines(int n) const {
        const QStringList files = recordFiles(n);
        if (files.isEmpty())
            return {};
        QList<QByteArray> lines = tree.read(QStringLiteral("s%1/log/").arg(n) + files.last()).split('\n');
        lines.removeLast();  // the empty text after the last line end
        return lines;
    }
};

const QByteArray kHeader =
    "DOKIVO\tDIR_DESTINAZIONE\tDATA_RIC\tDATA_SCANSIONE\tORA_SCANSIONE\tOPERATOR\tNOME "
    "ORIGINALE\tDIR_ORIGINALE\tSPOSTAMENTO\r";

}  // namespace

TEST_F(FolderPass, TheRoadOfOneDocument) {
    slot(0, {{"dir_backup_", tree.folder("bak")}, {"dir_nazionale_", "CREA:AA/MM/GG;"}});
    drop(0, "Scan 01.pdf", "%PDF-1.4 the document\n");
    frontend.operatorCodeText = "ABC";
    pass();

    const QString dated = out(0, datedRel());
    EXPECT_EQ(
        messages(),
        (QStringList{" Lettura cartella pricipale " + in(0), " Inizio lettura contenuto : " + in(0),
                     " File : Scan 01.pdf pospunto 8",
                     " Copiato " + in(0) + "Scan 01.pdf nella dir di backup " + tree.path("bak/Scan_01.pdf"),
                     " Copiato " + in(0) + "Scan 01.pdf  nella dir di destinazione " + dated + "Scan_01.pdf",
                     " File elaborato : " + in(0) + "Scan 01.pdf", " Fine lettura contenuto : " + in(0),
                     " Elaborati : 1"}));
    EXPECT_EQ(tree.read("bak/Scan_01.pdf"), "%PDF-1.4 the document\n");
    EXPECT_FALSE(QFile::exists(in(0, "Scan 01.pdf")));
    QFile delivered(dated + "Scan_01.pdf");
    ASSERT_TRUE(delivered.open(QIODevice::ReadOnly));
    EXPECT_EQ(delivered.readAll(), "%PDF-1.4 the document\n");

    const QStringList records = recordFiles(0);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0], "dokivolog05140307_1.txt");  // the fake clock stands on 5 March at 14:03:07
    EXPECT_TRUE(QFile::exists(tree.path("app/") + records[0])) << "the original stays in the record folder";
    const QList<QByteArray> lines = recordLines(0);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], kHeader);
    EXPECT_EQ(lines[1],
              ("Scan_01.pdf\t" + dated + "\t\t" + today(platform::DatePattern::YYYYMMDD) + "\t").toUtf8() +
                  lines[1].mid(lines[1].indexOf("\t", dated.size() + 23) - 6, 6) + "\tABC\t\t" +
                  in(0).toUtf8() + "\t\r");
}

TEST_F(FolderPass, TheRecordFileHasExactBytesTabsAndCrLf) {
    slot(0, {{"dir_nazionale_", "DOCLIBERO;ABBIN:X12;DIRCGD=" + QDir::toNativeSeparators("/cgd")}});
    drop(0, "my scan.pdf");
    frontend.receptionDateText = "07/12/2026";
    pass();
    const QByteArray bytes = tree.read("s0/log/" + recordFiles(0).value(0));
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], kHeader);
    const QList<QByteArray> fields = lines[1].chopped(1).split('\t');
    ASSERT_EQ(fields.size(), 9);
    EXPECT_TRUE(fields[0].startsWith("my_scan_") && fields[0].endsWith(".pdf")) << fields[0].constData();
    EXPECT_EQ(fields[1], QDir::toNativeSeparators("/cgd/"));  // the destination root replaced by DIRCGD=
    EXPECT_EQ(fields[2], "20261207");
    EXPECT_EQ(fields[3].size(), 8);
    EXPECT_EQ(fields[4].size(), 6);
    EXPECT_EQ(fields[5], "");
    EXPECT_EQ(fields[6], "my scan.pdf");
    EXPECT_EQ(fields[7], in(0).toUtf8());
    EXPECT_EQ(fields[8], "X12");
    EXPECT_TRUE(bytes.endsWith("X12\r\n"));
    EXPECT_EQ(bytes.count('\t'), 16);
}

TEST_F(FolderPass, AnEmptyFolderWritesNoRecordFile) {
    slot(0);
    pass();
    EXPECT_EQ(messages().mid(1), (QStringList{" Inizio lettura contenuto : " + in(0),
                                              " Fine lettura contenuto : " + in(0), " Elaborati : 0"}));
    EXPECT_TRUE(recordFiles(0).isEmpty());
    EXPECT_TRUE(QDir(tree.path("app")).entryList({"dokivolog*"}).isEmpty());
}

TEST_F(FolderPass, SkippedNamesStayAndOnlyTakenOnesAreCounted) {
    slot(0, {{"inizio_car_controllo_", "1"}, {"fine_car_controllo_", "2"}, {"car_controllo_", "ok"}});
    drop(0, "CRIPTATO.PDF");
    drop(0, "OK_noext");
    drop(0, "OK.txt");
    drop(0, "no.pdf");
    drop(0, "ok.pdf");
    pass();
    EXPECT_TRUE(QFile::exists(in(0, "CRIPTATO.PDF")));
    EXPECT_TRUE(QFile::exists(in(0, "OK_noext")));
    EXPECT_TRUE(QFile::exists(in(0, "OK.txt")));
    EXPECT_TRUE(QFile::exists(in(0, "no.pdf")));
    EXPECT_FALSE(QFile::exists(in(0, "ok.pdf")));
    QStringList fileLines = messagesStartingWith(" File : ");
    fileLines.sort();
    EXPECT_EQ(fileLines, (QStringList{" File : OK.txt pospunto 3", " File : OK_noext pospunto 0",
                                      " File : ok.pdf pospunto 3"}));
    EXPECT_EQ(messages().last(), " Elaborati : 1");
}

TEST_F(FolderPass, ADuplicateGoesToTheDuplicatesFolderWithoutARecordLine) {
    slot(0, {{"dir_doppioni_", tree.folder("dup")}, {"dir_backup_", tree.folder("bak")}});
    tree.write("s0/out/Taken.pdf", "the filed one");
    drop(0, "Taken.pdf", "the new one");
    drop(0, "Fresh.pdf", "fresh");
    pass();
    EXPECT_EQ(tree.read("s0/out/Taken.pdf"), "the filed one");
    EXPECT_EQ(tree.read("dup/Taken.pdf"), "the new one");
    EXPECT_EQ(tree.read("bak/Taken.pdf"), "the new one");
    EXPECT_FALSE(QFile::exists(in(0, "Taken.pdf")));
    EXPECT_TRUE(messages().contains(" Copiato " + in(0) + "Taken.pdf  nella dir dei file gia' esistenti " +
                                    tree.path("dup/") + " in quanto gia' esistente " + out(0, "Taken.pdf")));
    EXPECT_EQ(messages().last(), " Elaborati : 2");
    const QList<QByteArray> lines = recordLines(0);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[1].startsWith("Fresh.pdf\t"));
}

TEST_F(FolderPass, ALaterDifferentDocumentTakesANumberedNameInTheBackupAndDuplicatesFolders) {
    slot(0, {{"dir_doppioni_", tree.folder("dup")}, {"dir_backup_", tree.folder("bak")}});
    tree.write("s0/out/Scan_01.pdf", "first");
    struct Arrival {
        const char* content;
        const char* takes;  // the name it gets in both folders
    };
    const Arrival arrivals[] = {
        {"second", "Scan_01.pdf"},
        {"third", "Scan_01 (2).pdf"},
        {"third", "Scan_01 (2).pdf"},  // the same document again replaces its own copy
        {"fourth", "Scan_01 (3).pdf"},
    };
    for (const Arrival& a : arrivals) {
        SCOPED_TRACE(a.content);
        drop(0, "Scan 01.pdf", a.content);
        pass();
        EXPECT_EQ(tree.read(QStringLiteral("dup/") + a.takes), a.content);
        EXPECT_EQ(tree.read(QStringLiteral("bak/") + a.takes), a.content);
    }
    const QStringList kept{"Scan_01 (2).pdf", "Scan_01 (3).pdf", "Scan_01.pdf"};
    EXPECT_EQ(tree.entries("dup"), kept);
    EXPECT_EQ(tree.entries("bak"), kept);
    EXPECT_EQ(tree.read("dup/Scan_01.pdf"), "second");
    EXPECT_EQ(tree.read("s0/out/Scan_01.pdf"), "first");
    EXPECT_TRUE(messages().contains(" Copiato " + in(0) + "Scan 01.pdf nella dir di backup " +
                                    tree.path("bak/Scan_01 (3).pdf")));
    EXPECT_TRUE(messages().contains(" Copiato " + in(0) + "Scan 01.pdf  nella dir dei file gia' esistenti " +
                                    tree.path("dup/Scan_01 (3).pdf") + " in quanto gia' esistente " +
                                    out(0, "Scan_01.pdf")));
}

TEST_F(FolderPass, WithoutADuplicatesFolderTheDestinationIsReplacedAndRecorded) {
    slot(0);
    tree.write("s0/out/Taken.pdf", "the filed one");
    drop(0, "Taken.pdf", "the new one");
    pass();
    EXPECT_EQ(tree.read("s0/out/Taken.pdf"), "the new one");
    EXPECT_TRUE(messages().contains(" Copiato " + in(0) + "Taken.pdf  nella dir di destinazione " +
                                    out(0, "Taken.pdf")));
    EXPECT_EQ(recordLines(0).size(), 2);
}

TEST_F(FolderPass, ACopyFailingOnTheThirdOfFiveFilesEndsTheFolderThere) {
    slot(0, {{"dir_backup_", tree.folder("bak")}});
    for (const char* name : {"a.pdf", "b.pdf", "c.pdf", "d.pdf", "e.pdf"})
        drop(0, name, name);
    const QStringList order = listingOrder();
    QDir().mkpath(tree.path("bak/") + order[2]);  // a folder stands where the third backup copy goes
    pass();

    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(QFile::exists(in(0, order[i])), i >= 2) << order[i].toStdString();
    EXPECT_TRUE(QFile::exists(out(0, order[0])));
    EXPECT_TRUE(QFile::exists(out(0, order[1])));
    EXPECT_FALSE(QFile::exists(out(0, order[2])));
    const QString error = messages().last();
    EXPECT_TRUE(error.startsWith(" Lettura Cartella 27 ")) << error.toStdString();
    EXPECT_TRUE(messagesStartingWith(" Fine lettura contenuto").isEmpty());
    EXPECT_GT(frontend.refreshes, 0);
    const QList<QByteArray> lines = recordLines(0);
    ASSERT_EQ(lines.size(), 3) << "the record file is handed over with its two records";
    EXPECT_TRUE(tree.entries("bak").filter(".~dokivo").isEmpty());
}

TEST_F(FolderPass, AMissingBackupFolderFailsTheCopyAndKeepsTheSource) {
    slot(0, {{"dir_backup_", tree.path("nobak")}});
    drop(0, "a.pdf");
    pass();
    EXPECT_TRUE(QFile::exists(in(0, "a.pdf")));
    EXPECT_TRUE(messages().last().startsWith(" Lettura Cartella 27 76 ")) << messages().last().toStdString();
    EXPECT_TRUE(recordFiles(0).isEmpty());
}

TEST_F(FolderPass, LinksFifosAndTemporaryLeftoversAreLeftAlone) {
    slot(0);
    tree.write("outside/secret.pdf", "not ours");
    if (!test::makeSymbolicLink(tree.path("outside/secret.pdf"), in(0, "link.pdf")))
        GTEST_SKIP() << "this system does not let the tests make a symbolic link";
#ifndef Q_OS_WIN
    ASSERT_TRUE(test::makeFifo(in(0, "pipe.pdf")));  // Windows has no FIFOs in its file systems
#endif
    tree.write("s0/out/" + platform::kTemporaryCopyName, "half a copy from a crash");
    drop(0, "real.pdf");
    pass();
    EXPECT_TRUE(QFileInfo(in(0, "link.pdf")).isSymLink());
#ifndef Q_OS_WIN
    EXPECT_TRUE(QFileInfo::exists(in(0, "pipe.pdf")));
#endif
    EXPECT_EQ(tree.read("outside/secret.pdf"), "not ours");
    EXPECT_FALSE(QFile::exists(out(0, "link.pdf")));
    EXPECT_TRUE(QFile::exists(out(0, "real.pdf")));
    EXPECT_EQ(messagesStartingWith(" File : "), QStringList{" File : real.pdf pospunto 5"});
    EXPECT_FALSE(tree.entries("s0/out").contains(platform::kTemporaryCopyName))
        << "a crash leftover is removed";
}

TEST_F(FolderPass, AFileStillOpenForWritingWaitsForTheNextPass) {
    slot(0);
    drop(0, "arriving.pdf", "first half");
    QFile writer(in(0, "arriving.pdf"));
    ASSERT_TRUE(writer.open(QIODevice::WriteOnly | QIODevice::Append));
    pass();
    EXPECT_TRUE(QFile::exists(in(0, "arriving.pdf")));
    EXPECT_TRUE(messagesStartingWith(" File : ").isEmpty());
    writer.write(" and the rest");
    writer.close();
    pass();
    EXPECT_FALSE(QFile::exists(in(0, "arriving.pdf")));
    EXPECT_EQ(tree.read("s0/out/arriving.pdf"), "first half and the rest");
}

namespace {

enum class Fault { None, Source, Target };

// Which end a failed copy blames: the document (the pass goes on) or the target (the pass ends).
Fault copyFault(const QString& source, const QString& target) {
    try {
        platform::copyFileDurably(source, target);
        return Fault::None;
    } catch (const platform::SourceError&) {
        return Fault::Source;
    } catch (const platform::RunError&) {
        return Fault::Target;
    }
}

}  // namespace

TEST(DurableCopy, ASourceGrowingDuringTheCopyFailsAsTheSourcesFaultAndLeavesNothing) {
    dokivo::test::TempTree tree;
    tree.write("src.pdf", QByteArray(32 << 20, 'x'));
    std::atomic<bool> copying{true};
    std::atomic<bool> writing{false};
    QThread* writer = QThread::create([&] {
        QFile f(tree.path("src.pdf"));
        if (f.open(QIODevice::WriteOnly | QIODevice::Append)) {
            while (copying) {
                f.write("y");
                f.flush();
                writing = true;
            }
        }
        writing = true;  // also when it could not open the file: the copy must not wait
    });
    writer->start();
    while (!writing)  // the writer holds the file before the copy begins
        QThread::yieldCurrentThread();
    EXPECT_EQ(copyFault(tree.path("src.pdf"), tree.path("dst.pdf")), Fault::Source);
    copying = false;
    writer->wait();
    delete writer;
    EXPECT_FALSE(tree.exists("dst.pdf"));
    EXPECT_FALSE(tree.exists(platform::kTemporaryCopyName));
}

TEST(DurableCopy, RefusesToCopyAFileOntoItselfAsAFaultOfTheTarget) {
    dokivo::test::TempTree tree;
    tree.write("same.pdf", "only copy");
    EXPECT_EQ(copyFault(tree.path("same.pdf"), tree.path("same.pdf")), Fault::Target);
    EXPECT_EQ(tree.read("same.pdf"), "only copy");
}

TEST_F(FolderPass, ADestinationEqualToTheInputNeverDeletesTheDocument) {
    ini["dir_in_0"] = tree.folder("same");
    ini["dir_out_0"] = tree.folder("same");
    ini["dir_log_0"] = tree.folder("s0/log");
    tree.write("same/doc.pdf", "precious");
    pass();
    EXPECT_EQ(tree.read("same/doc.pdf"), "precious");
    EXPECT_TRUE(messages().last().startsWith(" Lettura Cartella 28 70 ")) << messages().last().toStdString();
}

TEST_F(FolderPass, AnUnlistableInputFolderEndsWithTheStepThreeLine) {
    slot(0);
    saveIni();
    LoadSettings(m().settings);
    m().slot.folder = tree.path("vanished/");
    m().slot.dest_folder = out(0);
    m().slot.log_folder = log(0);
    m().slot.backup_folder = "/";
    m().slot.duplicates_folder = "/";
    letturacartella(m().passEnvironment());
    EXPECT_EQ(messages(), (QStringList{" Inizio lettura contenuto : " + tree.path("vanished/"),
                                       " Lettura Cartella 3 76 Impossibile trovare il percorso"}));
}

TEST_F(FolderPass, RunFlagShowsTheSummaryBoxAndTimerFlagTheSummaryLine) {
    slot(0);
    drop(0, "a.pdf");
    m().flags.run_flag = "y";
    m().flags.timer_flag = "y";
    pass();
    EXPECT_EQ(frontend.messages,
              QStringList{"Elaborati 1 file PDF\r\nOrigine " + in(0) + "\r\nDestinazione " + out(0)});
    EXPECT_EQ(messages().last(), " Elaborati 1 file  Origine " + in(0) + " Destinazione " + out(0));
}

TEST_F(FolderPass, RecordFileNamesCountUpAndNeverReplaceAnEarlierFile) {
    slot(0);
    drop(0, "a.pdf");
    pass();
    drop(0, "b.pdf");
    pass();
    EXPECT_EQ(recordFiles(0), (QStringList{"dokivolog05140307_1.txt", "dokivolog05140307_2.txt"}));

    // A restart in the same second begins again at 1: the taken names are passed by.
    m().record_file_counter = 0;
    drop(0, "c.pdf");
    pass();
    EXPECT_EQ(recordFiles(0).last(), "dokivolog05140307_3.txt");
    EXPECT_TRUE(tree.read("app/dokivolog05140307_1.txt").contains("a.pdf\t"));
}
