// The scan driver's reading of a slot's codes, and the plan of simula:y against the pass that
// follows it.

#include "app/PassSimulation.h"
#include "config/ControlCodes.h"
#include "support/PassScenario.h"

using namespace dokivo;
using namespace dokivo::test;

TEST(ControlCodes, AreFoundAnywhereInAnyLetterCaseWithValuesAsWritten) {
    const ControlCodes a = readControlCodes("sololog;abbin:X12;dircgd=F:/cgd;");
    EXPECT_TRUE(a.sololog);
    EXPECT_EQ(a.abbin_value, "X12");
    EXPECT_EQ(a.dircgd_value, "F:/cgd");
    EXPECT_FALSE(a.doclibero || a.podsitir || a.sihsit);
    const ControlCodes b = readControlCodes("xDocLiberoX;PodSitir;Sihsit;ABBIN:;");
    EXPECT_TRUE(b.doclibero && b.podsitir && b.sihsit);
    EXPECT_EQ(b.abbin_value, "");
    EXPECT_EQ(readControlCodes("ABBIN:77").abbin_value, "77");
}

TEST(ScanDriverSlot, TheFormatMarkerNeedsTheWholeTextAndNoCodeLeaksIntoTheNextSlot) {
    PassTree t;
    t.set("dir_in_0");
    t.slot(14);
    t.slot(15);
    t.set("dir_nazionale_14=PODSITIR;ABBIN:A1");
    // The context keeps the last slot's values after the pass: slot 15 is the one looked at.
    for (const char* parameters : {"FORMATOATENE", "formatoatene", "FORMATOATENE;SOLOLOG"}) {
        t.set(QString("dir_nazionale_15=") + parameters);
        t.pass();
        EXPECT_EQ(t.m().slot.format_marker, parameters == QString("FORMATOATENE") ? "FORMATOATENE" : "")
            << parameters;
        EXPECT_EQ(t.m().slot.slot_index, 15);
        EXPECT_FALSE(t.m().slot.podsitir);
        EXPECT_EQ(t.m().slot.abbin_value, "");
    }
}

// Every document the plan files lies, with its bytes, at the planned destination or duplicates
// name and backup name, and its source is gone; every other file is still there, for the
// planned reason; planning itself changes nothing.
TEST(PassSimulation, APlannedPassIsThePassThatFollowsAndPlanningChangesNothing) {
    PassTree t;
    for (const char* line : {"dir_backup_0={bak}", "dir_doppioni_0={dup}", "dir_nazionale_0=CREA:AA/MM/GG",
                             "gestione_dir_0=1", "gestione_dir_out_0=1", "dir_doppioni_1={dup1}",
                             "gestione_pwd_1=1", "dir_nazionale_2=FORMATOATENE"})
        t.set(line);
    t.slot(1);
    t.slot(2);
    QStringList names{"in/Scan 01.pdf",  "in/Same 1.pdf",  "in/Same_1.pdf", "in/x.txt",
                      "in/CRIPTATO.PDF", "in/A/inner.pdf", "in1/Dup.pdf",   "in2/abc.pdf"};
#ifndef Q_OS_WIN  // a name Windows does not allow
    names << "in/a\tb.pdf";
#endif
    for (const QString& name : names)
        t.drop(name + "=" + name);
    t.drop("out1/Dup.pdf=filed earlier");
    t.drop("dup1/Dup.pdf=a duplicate filed earlier");
    const bool fifo = makeFifo(t.tree.path("in/pipe.pdf"));  // none on Windows
    t.saveIni();

    const QStringList before = snapshot(t.tree.path());
    const PassPlan plan = planPass(t.m());
    EXPECT_EQ(snapshot(t.tree.path()), before);
    EXPECT_TRUE(t.messages().isEmpty());

    QMap<QString, QByteArray> content;
    QMap<QString, StayReason> stays;
    QStringList notRegular;
    const auto rel = [&](const QString& path) { return path.mid(t.tree.path().size()); };
    for (const PlannedDocument& doc : plan.documents) {
        if (doc.filed())
            content[doc.source] = t.tree.read(rel(doc.source));
        else if (doc.notRegularFile)
            notRegular << doc.source;
        else
            stays[doc.source] = doc.stays;
    }
    QMap<QString, StayReason> expectedStays{{t.expand("{in}x.txt"), StayReason::Extension},
                                            {t.expand("{in}CRIPTATO.PDF"), StayReason::EncryptedCopyName},
                                            {t.expand("{in2}abc.pdf"), StayReason::Formatoatene}};
    if (names.contains("in/a\tb.pdf"))
        expectedStays.insert(t.expand("{in}a\tb.pdf"), StayReason::LineBreaks);
    EXPECT_EQ(stays, expectedStays);
    EXPECT_EQ(notRegular, fifo ? QStringList{t.expand("{in}pipe.pdf")} : QStringList{});
    EXPECT_EQ(plan.lines.last(), " File da archiviare: 5, file che restano: " +
                                     QString::number(expectedStays.size() + notRegular.size()));

    t.pass();
    for (const PlannedDocument& doc : plan.documents) {
        SCOPED_TRACE(doc.source.toStdString());
        if (!doc.filed()) {
            EXPECT_TRUE(QFileInfo(doc.source).exists() || QFileInfo(doc.source).isSymLink());
            continue;
        }
        EXPECT_FALSE(QFile::exists(doc.source));
        EXPECT_EQ(t.tree.read(rel(doc.target)), content[doc.source]) << doc.target;
        if (!doc.backup.isEmpty()) {
            EXPECT_EQ(t.tree.read(rel(doc.backup)), content[doc.source]) << doc.backup;
        }
    }
    // The names the plan had to number, and the line of the document filed unprotected.
    const auto target = [&](const QString& source) {
        return std::find_if(plan.documents.begin(), plan.documents.end(),
                            [&](const PlannedDocument& d) { return d.source == t.expand(source); })
            ->target;
    };
    EXPECT_EQ(target("{in1}Dup.pdf"), t.expand("{dup1}Dup (2).pdf"));
    EXPECT_EQ(target("{in}Same_1.pdf").startsWith(t.expand("{dup}")),
              target("{in}Same 1.pdf").startsWith(t.expand("{out}")))
        << "the second of two documents of one name goes to the duplicates folder";
    EXPECT_TRUE(
        plan.lines.contains(t.expand(" Slot 1 {in1}Dup.pdf -> {dup1}Dup (2).pdf (doppione: esiste gia' "
                                     "{out1}Dup.pdf) senza protezione: manca encryptpdf.exe in {app}")))
        << plan.lines.join('\n');
}
