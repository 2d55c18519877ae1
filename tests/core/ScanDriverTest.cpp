#include <gtest/gtest.h>

#include "app/PassSimulation.h"
#include "config/ControlCodes.h"
#include "support/FileSystemFaults.h"
#include "support/PassFixture.h"

using namespace dokivo;
using dokivo::test::PassFixture;
using dokivo::test::snapshot;

namespace {

struct ScanDriver : PassFixture, ::testing::Test {};

ControlCodes codesOf(const QString& parameters) {
    return readControlCodes(parameters);
}

}  // namespace

TEST_F(ScanDriver, AllSlotsEmptyGiveNoLines) {
    pass();
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(ScanDriver, ASlotWithoutLogFolderIsSkippedSilently) {
    ini["dir_in_2"] = tree.folder("in");
    ini["dir_out_2"] = tree.folder("out");
    pass();
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(ScanDriver, AMissingFolderGivesOneLineAndTheNextSlotStillRuns) {
    ini["dir_in_0"] = tree.folder("a/in");
    ini["dir_out_0"] = tree.path("a/missing");
    ini["dir_log_0"] = tree.folder("a/log");
    slot(1);
    pass();
    const QStringList lines = messages();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], " Non riesco ad accedere ad una delle tre dir " + tree.path("a/in/") + " " +
                            tree.path("a/missing/") + " " + tree.path("a/log/"));
    EXPECT_EQ(lines[1], " Lettura cartella pricipale " + in(1));
}

TEST_F(ScanDriver, StandardPasswordLineOpensThePassWhenNoPasswordFileExists) {
    ini["dir_pwd"] = tree.folder("pwd");
    ini["gestione_pwd_4"] = "1";
    pass();
    EXPECT_EQ(messages(), QStringList{" Applico password standard"});
}

TEST(ControlCodes, AreFoundAnywhereInAnyLetterCaseWithValuesAsWritten) {
    const ControlCodes a = codesOf("sololog;abbin:X12;dircgd=F:/cgd;");
    EXPECT_TRUE(a.sololog);
    EXPECT_EQ(a.abbin_value, "X12");
    EXPECT_EQ(a.dircgd_value, "F:/cgd");
    EXPECT_FALSE(a.doclibero || a.podsitir || a.sihsit);

    const ControlCodes b = codesOf("ABBIN:77");
    EXPECT_EQ(b.abbin_value, "77");
    EXPECT_TRUE(codesOf("xDocLiberoX;PodSitir;Sihsit").doclibero);
    EXPECT_TRUE(codesOf("xDocLiberoX;PodSitir;Sihsit").podsitir);
    EXPECT_TRUE(codesOf("xDocLiberoX;PodSitir;Sihsit").sihsit);
    EXPECT_EQ(codesOf("ABBIN:;").abbin_value, "");
}

TEST_F(ScanDriver, FormatMarkerNeedsTheWholeTextInCapitals) {
    // The context keeps the last slot's values after the pass: slot 15 is the one looked at.
    slot(15, {{"dir_nazionale_", "FORMATOATENE"}});
    pass();
    EXPECT_EQ(m().slot.format_marker, "FORMATOATENE");
    for (const char* other : {"formatoatene", "FORMATOATENE;SOLOLOG"}) {
        ini["dir_nazionale_15"] = other;
        pass();
        EXPECT_EQ(m().slot.format_marker, "") << other;
    }
}

TEST_F(ScanDriver, CodesOfOneSlotDoNotLeakIntoTheNext) {
    slot(14, {{"dir_nazionale_", "PODSITIR;ABBIN:A1"}});
    slot(15);
    pass();
    EXPECT_EQ(m().slot.slot_index, 15);
    EXPECT_FALSE(m().slot.podsitir);
    EXPECT_EQ(m().slot.abbin_value, "");
}

TEST_F(ScanDriver, SubfoldersGoToTheRootOrToTheirOwnDestinationFolder) {
    slot(0, {{"gestione_dir_", "1"}, {"gestione_dir_out_", "0"}});
    drop(0, "A/one.pdf");
    drop(0, "A/B/deeper.pdf");
#ifndef Q_OS_WIN                // a name Windows does not allow
    drop(0, "C\tD/three.pdf");  // the folder's name would break its documents' record lines
#endif
    pass();
    EXPECT_TRUE(QFile::exists(out(0, "one.pdf")));
    EXPECT_TRUE(QFile::exists(in(0, "A/B/deeper.pdf"))) << "subfolders of subfolders are not visited";
    EXPECT_EQ(messagesStartingWith(" lettura Sotto Cartella "), QStringList{" lettura Sotto Cartella A"});
#ifndef Q_OS_WIN
    EXPECT_TRUE(QFile::exists(in(0, "C\tD/three.pdf")));
    EXPECT_TRUE(messages().contains(
        " Sotto Cartella non letta: il nome contiene una tabulazione o un a capo : " + in(0) + "C<TAB>D"));
#endif
    EXPECT_EQ(messagesStartingWith(" Inizio lettura contenuto : ").last(),
              " Inizio lettura contenuto : " + in(0, "A/"));

    ini["gestione_dir_out_0"] = "1";
    drop(0, "A/two.pdf");
    pass();
    EXPECT_TRUE(QFile::exists(out(0, "A/two.pdf"))) << "the destination subfolder is made by the pass";
}

TEST_F(ScanDriver, WithoutTheSubfolderSwitchNoSubfolderIsVisited) {
    slot(0, {{"gestione_dir_", "0"}});
    drop(0, "A/one.pdf");
    pass();
    EXPECT_TRUE(QFile::exists(in(0, "A/one.pdf")));
    EXPECT_TRUE(messagesStartingWith(" lettura Sotto Cartella ").isEmpty());
}

TEST_F(ScanDriver, ANestedStartWhileAPassRunsIsIgnored) {
    slot(0);
    drop(0, "a.pdf");
    saveIni();
    m().pass_running = true;
    LEGGI_DIR(m());
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_TRUE(QFile::exists(in(0, "a.pdf")));
    m().pass_running = false;
    LEGGI_DIR(m());
    EXPECT_FALSE(QFile::exists(in(0, "a.pdf")));
    EXPECT_FALSE(m().pass_running);
}

TEST_F(ScanDriver, AClosePendingDuringThePassIsCarriedOutWhenItEnds) {
    m().close_pending = true;
    pass();
    EXPECT_TRUE(frontend.closeRequested);
}

TEST_F(ScanDriver, MoreThan500LinesAreFlushedAtTheEndOfThePass) {
    slot(0);
    for (int i = 0; i < 500; ++i)
        m().addLine(" riga");
    pass();  // adds four lines: over the limit
    EXPECT_EQ(m().operations.size(), 0);
    EXPECT_EQ(tree.read("track/Dokivo_tracking.txt").count("\r\n"), 504);
}

// The plan of simula:y against what the pass then does on the same tree: every document the plan
// files lies, with its bytes, at the planned destination or duplicates name and backup name, and
// its source is gone; every other file is still there, for the planned reason.
TEST_F(ScanDriver, APlannedPassIsThePassThatFollowsAndPlanningChangesNothing) {
    slot(0, {{"dir_backup_", tree.folder("s0/bak")},
             {"dir_doppioni_", tree.folder("s0/dup")},
             {"dir_nazionale_", "CREA:AA/MM/GG"},
             {"gestione_dir_", "1"},
             {"gestione_dir_out_", "1"}});
    slot(1, {{"dir_doppioni_", tree.folder("s1/dup")}, {"gestione_pwd_", "1"}});
    slot(2, {{"dir_nazionale_", "FORMATOATENE"}});
    QStringList names{"0/Scan 01.pdf",  "0/Same 1.pdf",  "0/Same_1.pdf", "0/x.txt",
                      "0/CRIPTATO.PDF", "0/A/inner.pdf", "1/Dup.pdf",    "2/abc.pdf"};
#ifndef Q_OS_WIN  // a name Windows does not allow
    names << "0/a\tb.pdf";
#endif
    for (const QString& name : names)
        drop(name.left(1).toInt(), name.mid(2), name.toUtf8());
    tree.write("s1/out/Dup.pdf", "filed earlier");
    tree.write("s1/dup/Dup.pdf", "a duplicate filed earlier");
    const bool fifo = dokivo::test::makeFifo(in(0, "pipe.pdf"));  // none on Windows
    saveIni();

    const QStringList before = snapshot(tree.path());
    const PassPlan plan = planPass(m());
    EXPECT_EQ(snapshot(tree.path()), before) << "planning creates, changes and deletes nothing";
    EXPECT_TRUE(messages().isEmpty());

    QMap<QString, QByteArray> content;
    QMap<QString, StayReason> stays;
    QStringList notRegular;
    for (const PlannedDocument& doc : plan.documents) {
        if (doc.filed())
            content[doc.source] = tree.read(doc.source.mid(tree.path().size()));
        else if (doc.notRegularFile)
            notRegular << doc.source;
        else if (!doc.filed())
            stays[doc.source] = doc.stays;
    }
    QMap<QString, StayReason> expectedStays{{in(0, "x.txt"), StayReason::Extension},
                                            {in(0, "CRIPTATO.PDF"), StayReason::EncryptedCopyName},
                                            {in(2, "abc.pdf"), StayReason::Formatoatene}};
    if (names.contains("0/a\tb.pdf"))
        expectedStays.insert(in(0, "a\tb.pdf"), StayReason::LineBreaks);
    EXPECT_EQ(stays, expectedStays);
    EXPECT_EQ(notRegular, fifo ? QStringList{in(0, "pipe.pdf")} : QStringList{});
    EXPECT_EQ(plan.lines.last(), " File da archiviare: 5, file che restano: " +
                                     QString::number(expectedStays.size() + notRegular.size()));

    pass();
    for (const PlannedDocument& doc : plan.documents) {
        SCOPED_TRACE(doc.source.toStdString());
        if (!doc.filed()) {
            EXPECT_TRUE(QFileInfo(doc.source).exists() || QFileInfo(doc.source).isSymLink());
            continue;
        }
        EXPECT_FALSE(QFile::exists(doc.source));
        EXPECT_EQ(tree.read(doc.target.mid(tree.path().size())), content[doc.source]) << doc.target;
        if (!doc.backup.isEmpty()) {
            EXPECT_EQ(tree.read(doc.backup.mid(tree.path().size())), content[doc.source]) << doc.backup;
        }
    }
    // The names the plan had to number, and the line of the document filed unprotected.
    const auto planned = [&](const QString& source) {
        return std::find_if(plan.documents.begin(), plan.documents.end(),
                            [&](const PlannedDocument& d) { return d.source == source; });
    };
    EXPECT_EQ(planned(in(1, "Dup.pdf"))->target, tree.path("s1/dup/Dup (2).pdf"));
    EXPECT_EQ(planned(in(0, "Same_1.pdf"))->target.startsWith(tree.path("s0/dup/")),
              planned(in(0, "Same 1.pdf"))->target.startsWith(out(0)))
        << "the second of two documents of one name goes to the duplicates folder";
    EXPECT_TRUE(plan.lines.contains(" Slot 1 " + in(1, "Dup.pdf") + " -> " + tree.path("s1/dup/Dup (2).pdf") +
                                    " (doppione: esiste gia' " + out(1, "Dup.pdf") +
                                    ") senza protezione: manca " + "encryptpdf.exe in " + tree.path("app/")))
        << plan.lines.join('\n').toStdString();
}
