// The reading of a slot's codes, and the plan of simula:y against the pass that
// follows it.

#include "app/PassSimulation.h"
#include "config/ControlCodes.h"
#include "support/PassScenario.h"

using namespace dokivo;
using namespace dokivo::test;

TEST(ControlCodes, AreFoundAnywhereInAnyLetterCaseWithValuesAsWritten) {
    const ControlCodes c = readControlCodes("xDocLiberoX;PodSitir;sihsit;sololog;dircgd=;abbin:X12");
    EXPECT_TRUE(c.doclibero && c.podsitir && c.sihsit && c.sololog);
    EXPECT_EQ(c.abbin_value + "|" + c.dircgd_value, "X12|");  // the last value runs to the end
}

// Every document the plan files lies, with its bytes, at the planned destination or duplicates
// name and backup name, and its source is gone; every other file is still there, for the
// planned reason; planning itself changes nothing.
TEST(PassSimulation, APlannedPassIsThePassThatFollowsAndPlanningChangesNothing) {
    PassTree t;
    t.lay({"@dir_backup_0={bak}", "@dir_doppioni_0={dup}", "@dir_nazionale_0=CREA:AA/MM/GG",
           "@gestione_dir_0=1", "@gestione_dir_out_0=1", "@dir_doppioni_1={dup1}", "@gestione_pwd_1=1",
           "@dir_nazionale_2=FORMATOATENE", "+out1/Dup.pdf=filed earlier",
           "+dup1/Dup.pdf=a duplicate filed earlier"});
    t.slot(1);
    t.slot(2);
    // Each document holds its own name, so the pass shows where each went; "Same 1" and "Same_1"
    // meet under one name. Where a name can hold a tab, one that stays for it. The folder's lock
    // file is not planned at all.
    QMap<QString, StayReason> stays{{"in/x.txt", StayReason::Extension},
                                    {"in/CRIPTATO.PDF", StayReason::EncryptedCopyName},
                                    {"in2/abc.pdf", StayReason::Formatoatene}};
#ifndef Q_OS_WIN
    stays.insert("in/a\tb.pdf", StayReason::LineBreaks);
#endif
    for (const QString& name : QStringList{"in/Scan 01.pdf", "in/Same 1.pdf", "in/Same_1.pdf",
                                           "in/A/inner.pdf", "in1/Dup.pdf", "in/Dokivo.lock"} +
                                   stays.keys())
        t.drop(name + "=" + name);
    const bool fifo = makeNode(t.tree.path("in/pipe.pdf"), Node::Fifo);  // none on Windows
    t.saveIni();

    const QStringList before = snapshot(t.tree.path());
    const PassPlan plan = planPass(t.m());
    EXPECT_EQ(snapshot(t.tree.path()), before);
    EXPECT_TRUE(t.messages().isEmpty());
    const auto rel = [&](const QString& path) {
        return QDir::fromNativeSeparators(path.mid(t.tree.path().size()));
    };
    QMap<QString, StayReason> planned;
    for (const PlannedDocument& doc : plan.documents)
        if (!doc.filed())
            planned[rel(doc.source)] = doc.stays;  // None: not a regular file
    if (fifo)
        stays.insert("in/pipe.pdf", StayReason::None);
    EXPECT_EQ(planned, stays);
    EXPECT_EQ(plan.lines.last(),
              " File da archiviare: 5, file che restano: " + QString::number(stays.size()));
    EXPECT_TRUE(
        plan.lines.contains(t.expand(" Slot 1 {in1}Dup.pdf -> {dup1}Dup (2).pdf (doppione: esiste gia' "
                                     "{out1}Dup.pdf) senza protezione: manca encryptpdf.exe in {app}")))
        << plan.lines.join('\n');

    t.pass();
    for (const PlannedDocument& doc : plan.documents) {
        SCOPED_TRACE(doc.source.toStdString());
        EXPECT_EQ(QFileInfo::exists(doc.source), !doc.filed());
        if (doc.filed()) {
            EXPECT_EQ(t.tree.read(rel(doc.target)), rel(doc.source).toUtf8()) << doc.target;
            EXPECT_EQ(doc.backup.isEmpty() ? rel(doc.source).toUtf8() : t.tree.read(rel(doc.backup)),
                      rel(doc.source).toUtf8());
        }
    }
}
