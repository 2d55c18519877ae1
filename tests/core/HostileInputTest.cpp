// Whatever lies in an input folder, the pass neither follows nor blocks on it: odd names are filed
// under their own name inside the destination; names that are not text, files still being
// written and everything that is not a regular file stay untouched, and the documents beside
// them are filed.

#include "support/PassScenario.h"

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <unistd.h>
#endif

using namespace dokivo;
using namespace dokivo::test;

namespace {

const QString kLineBreakLine =
    QStringLiteral(" File non elaborato: il nome contiene una tabulazione o un a capo : {in}");

Scenario oddButValidNames() {
    QStringList filed{"a b  c.pdf", QString(251, 'n') + ".pdf", "-rf.pdf", "..pdf", QString::fromUtf8("città é.pdf")};
    QStringList stays;
    QStringList lines;
#ifndef Q_OS_WIN  // names Windows does not allow
    filed << "..\\..\\x.pdf";
    // A tab, CR or LF would break the record's columns and the tracking file's lines: such a
    // document (or subfolder) stays, and its line shows the characters.
    stays << "tab\there.pdf" << "new\nline.pdf" << "cr\rhere.pdf" << "C\tD";
    lines << kLineBreakLine + "tab<TAB>here.pdf" << kLineBreakLine + "new<LF>line.pdf"
          << kLineBreakLine + "cr<CR>here.pdf"
          << " Sotto Cartella non letta: il nome contiene una tabulazione o un a capo : {in}C<TAB>D";
#endif
    Step step{.files = {"in/=" + stays.join('|'), "!x.pdf"}, .lines = lines};
    QStringList out;
    for (const QString& name : filed + stays.mid(0, 3)) {
        step.drop << "in/" + name + "=" + name;
        if (filed.contains(name)) {
            out << QString(name).replace(' ', '_');
            step.files << "out/" + out.last() + "=" + name;
            step.records << out.last() + "\t**";
        }
    }
    if (!stays.isEmpty())
        step.drop << "in/C\tD/three.pdf=3";
    step.files << "out/=" + out.join('|');
    step.lines << " Elaborati : " + QString::number(filed.size());
    return {"odd but valid names are filed under their own name inside the destination", {"gestione_dir_0=1"}, {step}};
}

// Links, a FIFO, a socket and a device node named like documents, among documents. The
// documents are laid out before and after them, so some come after them in the listing.
void makeOddEntries(PassTree& t) {
    t.drop("outside/secret.pdf=secret");
    const auto made = [&](const char* name, bool ok) {
        if (ok)
            t.notes << name;
    };
    made("link.pdf", makeSymbolicLink(t.tree.path("outside/secret.pdf"), t.tree.path("in/link.pdf")));
    made("dangling.pdf", makeSymbolicLink(t.tree.path("nowhere/dangling.pdf"), t.tree.path("in/dangling.pdf")));
    made("dir.pdf", makeSymbolicLink(t.tree.path("outside"), t.tree.path("in/dir.pdf")));
    made("pipe.pdf", makeNode(t.tree.path("in/pipe.pdf"), Node::Fifo));
    made("sock.pdf", makeNode(t.tree.path("in/sock.pdf"), Node::Socket));
    made("null.pdf", makeNode(t.tree.path("in/null.pdf"), Node::Device));
    if (t.notes.isEmpty())
        t.cannot = "this system lets the tests make no link, FIFO, socket or device node";
    for (const char* name : {"x.pdf", "y.pdf", "z.pdf"})
        t.drop(QString("in/") + name + "=" + name);
}

const Scenario kHostile[] = {
    oddButValidNames(),
    {"a name that is not text stays and does not stop the pass",
     {},
     {{.drop = {"in/good.pdf=good"},
       .arrange =
           [](PassTree& t) {
#ifdef Q_OS_WIN
               t.cannot = "names that are not text exist only on POSIX file systems";
#else
               // By its bytes: such a name cannot be made through QString, nor removed by the tree.
               const QByteArray raw = QFile::encodeName(t.tree.path("in/")) + "bad\xff\xfe.pdf";
               ::close(::open(raw.constData(), O_WRONLY | O_CREAT, 0644));
               t.held.push_back(std::shared_ptr<void>(nullptr, [raw](void*) { ::unlink(raw.constData()); }));
               t.notes << QString::fromLatin1(raw);
#endif
           },
       .files = {"out/=good.pdf"},
       .lines = {" Elaborati : 1"},
       .records = {"good.pdf\t**"},
       .check =
           [](PassTree& t) {
#ifndef Q_OS_WIN
               EXPECT_EQ(::access(t.notes[0].toLatin1().constData(), F_OK), 0) << "left in its input folder";
#endif
           }}}},
    {"links FIFOs sockets and devices named like documents are neither followed nor copied nor end the pass",
     {},
     {{.drop = {"in/a.pdf=a", "in/b.pdf=b", "in/c.pdf=c"},
       .arrange = makeOddEntries,
       .files = {"out/=a.pdf|b.pdf|c.pdf|x.pdf|y.pdf|z.pdf", "outside/secret.pdf=secret"},
       .lines = {" Elaborati : 6", "!link.pdf", "!pipe.pdf", "!sock.pdf", "!null.pdf", "!dir.pdf"},
       .records = {"a.pdf\t**", "b.pdf\t**", "c.pdf\t**", "x.pdf\t**", "y.pdf\t**", "z.pdf\t**"},
       .check =
           [](PassTree& t) {
               QStringList left = t.tree.entries("in");
               left.sort();
               t.notes.sort();
               EXPECT_EQ(left, t.notes);
               EXPECT_TRUE(!t.notes.contains("link.pdf") || QFileInfo(t.tree.path("in/link.pdf")).isSymLink());
           }}}},
    // Held open for writing and last changed an hour before now: the age alone would let it go.
    {"a file another program is still writing waits for the next pass however old it is",
     {},
     {{.drop = {"in/arriving.pdf=first half", "in/other.pdf=other"},
       .arrange =
           [](PassTree& t) {
               auto writer = std::make_shared<QFile>(t.tree.path("in/arriving.pdf"));
               ASSERT_TRUE(writer->open(QIODevice::WriteOnly | QIODevice::Append));
               ASSERT_TRUE(writer->setFileTime(t.clock.now().addSecs(-3600), QFileDevice::FileModificationTime));
               t.held.push_back(writer);
           },
       .files = {"in/arriving.pdf=first half", "out/=other.pdf"},
       .lines = {"!arriving.pdf"},
       .records = {"other.pdf\t**"}},
      {.arrange =
           [](PassTree& t) {
               auto writer = std::static_pointer_cast<QFile>(t.held.back());
               writer->write(" and the rest");
               writer->close();
           },
       .files = {"!in/arriving.pdf", "out/arriving.pdf=first half and the rest"},
       .records = {"other.pdf\t**", "arriving.pdf\t**"}}}},
    {"a FIFO where the delivery journal goes does not hold up the pass",
     {},
     {{.drop = {"in/a.pdf=scan a"},
       .arrange =
           [](PassTree& t) {
               if (!makeFifo(t.tree.path("app/" + kJournalFileName)))
                   t.cannot = "this system has no FIFOs";
           },
       .files = {"out/a.pdf=scan a"},
       .records = {"a.pdf\t**"}}}},
};
INSTANTIATE_TEST_SUITE_P(HostileInput, PassScenario, ::testing::ValuesIn(kHostile), scenarioName);

}  // namespace
