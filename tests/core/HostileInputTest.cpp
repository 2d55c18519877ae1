// Whatever lies in an input folder, the pass neither follows nor blocks on it: odd names are filed
// under their own name inside the destination; names that are not text, files still being
// written and everything that is not a regular file stay untouched, and the documents beside
// them are filed.

#include <cstdio>
#include <fstream>

#include "support/PassScenario.h"

using namespace dokivo;
using namespace dokivo::test;

namespace {

Scenario oddButValidNames() {
    QStringList filed{"a b  c.pdf", QString(251, 'n') + ".pdf", "-rf.pdf", "..pdf",
                      QString::fromUtf8("città é.pdf")};
    QStringList say{"@gestione_dir_0=1", "!x.pdf"};
#ifndef Q_OS_WIN  // names Windows does not allow
    filed << "..\\..\\x.pdf";
    // A tab, CR or LF would break the record's columns and the tracking file's lines: such a
    // document (or subfolder) stays, and its line shows the characters.
    const QString why = QStringLiteral(" il nome contiene una tabulazione o un a capo : {in}");
    const std::pair<QString, QString> breaks[] = {{"tab\there.pdf", "tab<TAB>here.pdf"},
                                                  {"new\nline.pdf", "new<LF>line.pdf"},
                                                  {"cr\rhere.pdf", "cr<CR>here.pdf"}};
    for (const auto& [name, shown] : breaks)
        say += {"+in/" + name + "=", "in/" + name, "> File non elaborato:" + why + shown};
    say += {"+in/C\tD/three.pdf=", "in/C\tD/three.pdf", "> Sotto Cartella non letta:" + why + "C<TAB>D"};
#endif
    QStringList out;
    for (const QString& name : filed) {
        out << QString(name).replace(' ', '_');
        say << "+in/" + name + "=" + name << "out/" + out.last() + "=" + name << "#" + out.last() + "\t**";
    }
    say << "out/=" + out.join('|') << "> Elaborati : " + QString::number(filed.size());
    return {"odd but valid names are filed under their own name inside the destination", say};
}

// Links, a FIFO, a socket, a device node and a name that is not text, named like documents, among
// documents, and a FIFO where the delivery journal goes. The documents are laid out before and
// after them, so some come after them in the listing.
void makeOddEntries(PassTree& t) {
    t.drop("outside/secret.pdf=secret");
    const auto in = [&](const char* name) { return t.tree.path("in/") + name; };
    const std::pair<const char*, bool> made[] = {
        {"link.pdf", makeSymbolicLink(t.tree.path("outside/secret.pdf"), in("link.pdf"))},
        {"dangling.pdf", makeSymbolicLink(t.tree.path("nowhere/dangling.pdf"), in("dangling.pdf"))},
        {"dir.pdf", makeSymbolicLink(t.tree.path("outside"), in("dir.pdf"))},
        {"pipe.pdf", makeNode(in("pipe.pdf"), Node::Fifo)},
        {"sock.pdf", makeNode(in("sock.pdf"), Node::Socket)},
        {"null.pdf", makeNode(in("null.pdf"), Node::Device)}};
    for (const auto& [name, ok] : made)
        if (ok)
            t.notes << name;
#ifndef Q_OS_WIN
    // A name that is not text, made by its bytes: QString cannot make it, nor the tree remove it.
    const QByteArray raw = QFile::encodeName(in("bad")) + "\xff\xfe.pdf";
    std::ofstream{raw.constData()};
    t.held.push_back(
        until([raw] { EXPECT_EQ(std::remove(raw.constData()), 0) << "left in its input folder"; }));
    makeNode(t.tree.path("app/" + kJournalFileName), Node::Fifo);  // where the delivery journal goes
#endif
    if (t.notes.isEmpty())
        t.cannot = "this system lets the tests make no link, FIFO, socket or device node";
    for (const char* name : {"x.pdf", "y.pdf", "z.pdf"})
        t.drop(QString("in/") + name + "=" + name);
}

const Scenario kHostile[] = {
    oddButValidNames(),
    {"links FIFOs sockets devices and names not text are neither followed nor copied nor end the pass",
     {"+in/a.pdf=a", "+in/b.pdf=b", "+in/c.pdf=c", "out/=a.pdf|b.pdf|c.pdf|x.pdf|y.pdf|z.pdf",
      "outside/secret.pdf=secret", "> Elaborati : 6", ">!link.pdf", ">!pipe.pdf", ">!sock.pdf", ">!null.pdf",
      ">!dir.pdf", "#a.pdf\t**", "#b.pdf\t**", "#c.pdf\t**", "#x.pdf\t**", "#y.pdf\t**", "#z.pdf\t**"},
     makeOddEntries,
     [](PassTree& t) {
         t.notes.sort();
         EXPECT_EQ(t.tree.entries("in"), t.notes);
         EXPECT_TRUE(!t.notes.contains("link.pdf") || QFileInfo(t.tree.path("in/link.pdf")).isSymLink());
     }},
    // Held open for writing and last changed an hour before now: the age alone would let it go.
    {"a file another program is still writing waits for the next pass however old it is",
     {"+in/arriving.pdf=first half", "+in/other.pdf=other", "in/arriving.pdf=first half", "out/=other.pdf",
      ">!arriving.pdf", "#other.pdf\t**"},
     [](PassTree& t) {
         auto writer = std::make_shared<QFile>(t.tree.path("in/arriving.pdf"));
         ASSERT_TRUE(writer->open(QIODevice::WriteOnly | QIODevice::Append));
         ASSERT_TRUE(writer->setFileTime(t.clock.now().addSecs(-3600), QFileDevice::FileModificationTime));
         t.held.push_back(writer);
     },
     {},
     {{{"!in/arriving.pdf", "out/arriving.pdf=first half and the rest", "#other.pdf\t**",
        "#arriving.pdf\t**"},
       [](PassTree& t) {
           auto writer = std::static_pointer_cast<QFile>(t.held.back());
           writer->write(" and the rest");
           writer->close();
       }}}},
};
INSTANTIATE_TEST_SUITE_P(HostileInput, PassScenario, ::testing::ValuesIn(kHostile), scenarioName);

}  // namespace
