// Faults of the file system around a pass: a full disk, folders that refuse writes or vanish, a
// document another program holds, a missing tracking folder. The document that could not be
// filed stays, the pass says why, what was filed stays whole, and once the fault is gone the next
// pass files the rest. Then the durable copy's own failures.

#include <QCoreApplication>

#include "platform/FolderLock.h"
#include "platform/RunError.h"
#include "platform/StagedCopy.h"
#include "support/PassScenario.h"

using namespace dokivo;
using namespace dokivo::test;

namespace {

const Scenario kFaults[] = {
    {"a full disk leaves the document and the filed ones whole",
     {"@dir_backup_0={bak}", "+in/big.pdf=#65536 s", "in/big.pdf=#65536 s", "out/filed.pdf=#20480 F",
      "!out/big.pdf", "> Lettura Cartella 28 61 Disco pieno : {in}big.pdf"},
     [](PassTree& t) {
         t.held.push_back(tinyFileSystem(t.tree.path("out")));
         if (!t.held.back())
             t.cannot = "mounting a tmpfs is not allowed here; the full-disk case is not run";
         t.drop("out/filed.pdf=#20480 F");
         t.drop("out/filler.bin=#276480 x");  // leaves less room than the scan needs
     },
     {},
     {{{"out/big.pdf=#65536 s", "bak/big.pdf=#65536 s", "!in/big.pdf", "#big.pdf\t**"},
       [](PassTree& t) { QFile::remove(t.tree.path("out/filler.bin")); }}}},
    {"a destination or then a duplicates folder that refuses writes stops the pass at its step",
     {"@dir_backup_0={bak}", "@dir_doppioni_0={dup}", "+bak/old.pdf=an earlier backup", "+in/a.pdf=scan a",
      "in/a.pdf=scan a", "bak/old.pdf=an earlier backup", "!out/a.pdf",
      "> Lettura Cartella 28 70 Autorizzazione negata : {in}a.pdf"},
     readOnly("out"),
     {},
     {{{"+out/a.pdf=filed earlier", "in/a.pdf=scan a", "bak/old.pdf=an earlier backup",
        "dup/=", "> Lettura Cartella 29 70 Autorizzazione negata : {in}a.pdf"},
       readOnly("dup")},
      {{"!in/a.pdf", "out/a.pdf=filed earlier", "dup/a.pdf=scan a", "bak/a.pdf=scan a"}}}},
    // The duplicates copy had to take a numbered name; the journal names that copy, so the next
    // pass finishes the document instead of filing it a second time.
    {"an input folder that keeps the document leaves its numbered copy to the journal",
     {"@dir_doppioni_0={dup}", "+out/a.pdf=filed earlier", "+dup/a.pdf=an earlier duplicate",
      "+in/a.pdf=scan a", "dup/a (2).pdf=scan a",
      "> Lettura Cartella 32 70 Autorizzazione negata : {in}a.pdf"},
     readOnly("in", true),
     {},
     {{{"!in/a.pdf", "dup/=a (2).pdf|a.pdf", "dup/a.pdf=an earlier duplicate", ">!Copiato"}}}},
    // Another program holds b (a write lease, as a file server holds one for a client that has
    // the file open): it cannot be read for now. To Windows a held file is one still arriving.
    {"a document another program holds gets its line and the rest of the folder is filed",
     {"@dir_backup_0={bak}", "+in/a.pdf=a", "+in/b.pdf=b", "+in/c.pdf=c", "in/b.pdf=b", "!bak/b.pdf",
      "out/=a.pdf|c.pdf",
#ifndef Q_OS_WIN
      "> Lettura Cartella 27 70 Autorizzazione negata : {in}b.pdf",
#endif
      "> Elaborati : 2", "#a.pdf\t**", "#c.pdf\t**"},
     [](PassTree& t) {
         t.during.push_back(heldByAnotherProgram(t.tree.path("in/b.pdf")));
         EXPECT_TRUE(t.during.back());
     },
     {},
     {{{"out/b.pdf=b", "in/=", "#a.pdf\t**", "#b.pdf\t**", "#c.pdf\t**"}}}},
    {"a log folder gone before the hand over leaves the record in the record folder",
     {"+in/a.pdf=scan a", "out/a.pdf=scan a", "!in/a.pdf", "!log", "#a.pdf\t**"},
     [](PassTree& t) {
         t.m().flags.run_flag = "y";  // its message box comes before the hand-over
         t.frontend.onMessage = [&t](const QString&) { QDir(t.tree.path("log")).removeRecursively(); };
     }},
    {"without its tracking folder the pass files and the lines wait for the folder",
     {"@dir_log_generale={later}", "+in/a.pdf=scan a", "out/a.pdf=scan a", "#a.pdf\t**"},
     [](PassTree& t) {
         for (int i = 0; i < 501; ++i)  // enough to be flushed at the end of the pass
             t.m().addLine(" earlier " + QString::number(i));
     },
     {},
     {{{"+later/", "later/{tracking}=~ earlier 0\r\n", "later/{tracking}=~ File elaborato : {in}a.pdf\r\n",
        "#a.pdf\t**"},
       {},
       [](PassTree& t) { EXPECT_EQ(t.m().operations.size(), 0); }}}},
    // A person takes documents out while the pass runs: the first one as soon as its copy is made
    // (its filing is complete), and one still waiting for its turn (nothing of it is made).
    {"documents taken out by hand during the pass neither end it nor leave half of them filed",
     {"+in/a.pdf=a", "+in/b.pdf=b", "+in/c.pdf=c", "in/=", "> Elaborati : 2", "#*.pdf\t**", "#*.pdf\t**",
      ">~ File non elaborato: non piu' presente : {in}"},
     [](PassTree& t) {
#ifdef Q_OS_WIN
         t.cannot = "Windows deletes no document while the pass holds it open";
         return;
#endif
         t.clock.onNow = [&t] {
             const QStringList staged = t.tree.entries("out").filter(".~dokivo");
             if (staged.isEmpty() || !t.notes.isEmpty())
                 return;
             t.notes << t.tree.read("out/" + staged[0]) + ".pdf";
             t.notes << t.tree.entries("in").filter(t.notes[0] == "a.pdf" ? "b.pdf" : "a.pdf");
             for (const QString& name : t.notes)
                 QFile::remove(t.tree.path("in/" + name));
         };
     },
     [](PassTree& t) {
         ASSERT_EQ(t.notes.size(), 2);
         EXPECT_EQ(t.tree.entries("out").size(), 2);
         EXPECT_FALSE(t.tree.exists("out/" + t.notes[1]));
         EXPECT_TRUE(t.messages().contains(" File elaborato : " + t.expand("{in}") + t.notes[0]));
     }},
    // Another installation files the folder now (here a second lock on its lock file, as the file
    // server holds one for the other machine): it is passed over, and a later pass files it. The
    // lock file itself is never filed, even with its extension accepted.
    {"a folder another installation holds is passed over with one line naming it until it lets go",
     {"+in/a.pdf=a", "in/a.pdf=a", "out/=", ">~ Cartella non letta: in uso da ",
      ">! Inizio lettura contenuto"},
     [](PassTree& t) {
         auto other = std::make_shared<platform::FolderLock>();
         EXPECT_EQ(other->tryLock(t.expand("{in}")), platform::FolderLock::Outcome::Held);
         t.during.push_back(other);
     },
     [](PassTree& t) {
         const QString pid = QString::number(QCoreApplication::applicationPid());
         EXPECT_TRUE(t.messages().last().endsWith("(pid " + pid + ") : " + t.expand("{in}")))
             << t.messages().last();
     },
     {{{"@estensione_0=lock", "out/=a.pdf", "in/Dokivo.lock", "> Elaborati : 1", "#a.pdf\t**"}}}},
    // The driver found it, and lists it a moment later.
    {"an input folder gone after the driver tested it ends the pass at step 3",
     {"+in/a.pdf=a", "+out/filed.pdf=filed earlier", "out/=filed.pdf", "!in",
      "> Lettura Cartella 3 76 Impossibile trovare il percorso"},
     [](PassTree& t) {
         t.frontend.onRefresh = [&t] {
             if (t.m().operations.lines().back().contains(" Lettura cartella pricipale "))
                 QDir(t.tree.path("in")).removeRecursively();
         };
     }},
    // A kill during the final copy into a dated folder, after which the document was taken out of
    // the input folder by hand: no later copy goes there to reuse the leftover.
    {"a temporary copy left in a dated folder is removed by the next pass",
     {"@dir_nazionale_0=CREA:AA/MM/GG;", "+out/24/03/05/.~dokivo-copia-1.tmp=half a cop",
      "!out/24/03/05/a.pdf", "!app/{journal}"},
     [](PassTree& t) {
         DeliveryJournal journal(t.tree.path("app/"));
         journal.noteCopyFolder(QDir::toNativeSeparators(t.expand("{out}24/03/05/")), 0);
         journal.noteDocument({t.expand("{in}a.pdf"),
                               QDir::toNativeSeparators(t.expand("{out}24/03/05/a.pdf")),
                               QString(),
                               t.tree.path("app/dokivolog05140307_1.txt"),
                               t.expand("{log}"),
                               0,
                               "a.pdf\t/out/",
                               {}});
     }},
};
INSTANTIATE_TEST_SUITE_P(Faults, PassScenario, ::testing::ValuesIn(kFaults), scenarioName);

}  // namespace

// Which end a failed copy blames: the document (the pass goes on) or the target (the pass ends).
TEST(DurableCopy, BlamesTheRightEndAndLeavesNothingOfAFailedCopy) {
    TempTree tree;
    const auto blamed = [&](const char* source, const char* target) -> std::string {
        try {
            platform::copyFileDurably(tree.path(source), tree.path(target));
            return "nobody";
        } catch (const platform::SourceError&) {
            return "source";
        } catch (const platform::RunError&) {
            return "target";
        }
    };
    tree.write("same.pdf", "only copy");
    EXPECT_EQ(blamed("same.pdf", "same.pdf"), "target");
    EXPECT_EQ(tree.read("same.pdf"), "only copy");

    // A FIFO can take a listed file's name between the listing and the copy: refused at once.
    std::string fifo = "source";
    if (makeNode(tree.path("late.pdf"), Node::Fifo)) {
        EXPECT_TRUE(runsWithoutBlocking(tree.path(), [&] { fifo = blamed("late.pdf", "out.pdf"); }));
    }
    EXPECT_EQ(fifo, "source");

    // A document written to after it was opened (a scanner still at work) is the source's fault;
    // where the system keeps others from writing an open document, the write is refused instead.
    tree.write("src.pdf", "first half");
    platform::OpenDocument document(tree.path("src.pdf"));
    QFile scanner(tree.path("src.pdf"));
    const bool written = scanner.open(QIODevice::Append) && scanner.write(" and more") > 0 && scanner.flush();
    bool refused = false;
    try {
        document.copyTo(tree.path("dst.pdf"), tree.path(platform::stagedCopyName(1)), false);
    } catch (const platform::SourceError&) {
        refused = true;
    }
    EXPECT_EQ(refused, written);
    EXPECT_EQ(tree.entries().filter(QRegularExpression("out.pdf|dst.pdf|.~dokivo")), QStringList());
}
