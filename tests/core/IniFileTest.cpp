#include "platform/IniFile.h"
#include "support/FileSystemFaults.h"
#include "support/TestSupport.h"

using dokivo::platform::IniDocument;
using dokivo::platform::readProfileString;
using dokivo::platform::writeProfileString;
using namespace dokivo::test;

TEST(IniRead, FindsTheFirstMatchWithoutRegardToCaseAndCleansTheValue) {
    // Each text is read for key "K" of section "t", "-" when it is not there.
    const std::pair<QByteArray, QString> rows[] = {
        {"[T]\r\nk=first\r\nK=second\r\n[t]\r\nk=third\r\n", "first"},
        {"[T]\n k =  spaced value  \n", "spaced value"},
        {"[T]\nk=\"quoted  \"\n", "quoted  "},  // one pair of quotes goes, of either kind
        {"[T]\nk=''twice''\n", "'twice'"},
        {"[T]\nk=\"unbalanced'\n", "\"unbalanced'"},
        {"k=orphan\n[A]\nk=a\n[T]\n;k=commented\nkk=v\n", "-"},  // keys belong to their own section only
        {"[T]\nk=\n", ""},
        {"[T]\nk=" + QByteArray(3000, 'x') + "\n", QString(1023, 'x')},
        {"[T]\r\nk=Citt\xE0 \x80\r\n", QString::fromUtf8("Città €")},  // Windows-1252 when not UTF-8
        {"[T]\nk=Citt\xC3\xA0\n", QString::fromUtf8("Città")},
    };
    for (const auto& [text, value] : rows)
        EXPECT_EQ(IniDocument::parse(text).value("t", "K", "-"), value) << text;
}

// A key's own line changed in place, comments and order kept: the settings windows' saving.
TEST(IniWrite, ChangesOnlyItsOwnLineOrAddsItAndFailsWithoutHarm) {
    const struct {
        const char* what;
        QByteArray before;  // empty: no file
        const char* section;
        QString value;
        QByteArray after;
    } rows[] = {
        {"a missing key at the end of its section", "[TUTTI]\nA=1\n\n[ALTRO]\nx=1\n", "TUTTI", "2",
         "[TUTTI]\r\nA=1\r\ndir_in_0=2\r\n\r\n[ALTRO]\r\nx=1\r\n"},
        {"a missing section at the end", "[TUTTI]\r\nA=1\r\n", "NUOVA", "3",
         "[TUTTI]\r\nA=1\r\n[NUOVA]\r\ndir_in_0=3\r\n"},
        {"a new file, a value on one line, text beyond ASCII as UTF-8", "", "TUTTI",
         QString::fromUtf8("/scan/Envio_nº\r\ncittà"),
         QString::fromUtf8("[TUTTI]\r\ndir_in_0=/scan/Envio_nº  città\r\n").toUtf8()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        TempTree tree;
        if (!row.before.isEmpty())
            tree.write("d.ini", row.before);
        EXPECT_TRUE(writeProfileString(row.section, "dir_in_0", row.value, tree.path("d.ini")));
        EXPECT_EQ(tree.read("d.ini"), row.after);
    }

    // Failures keep the old file and do not wait: no folder, a FIFO in the file's place, a folder
    // that refuses new files (each where this system can make it).
    TempTree tree;
    tree.write("ro/d.ini", "[TUTTI]\r\nk=old\r\n");
    const bool fifo = makeNode(tree.path("fifo.ini"), Node::Fifo);
    const Guard readOnly = readOnlyFolder(tree.path("ro"), true);
    for (const auto& [file, made, kept] : {std::tuple{"missing/d.ini", true, "-"},
                                           {"fifo.ini", fifo, "-"},
                                           {"ro/d.ini", readOnly != nullptr, "old"}}) {
        if (!made)
            std::printf("not run: %s cannot be made here\n", file);
        else
            EXPECT_TRUE(runsWithoutBlocking(tree.path(), [&] {
                EXPECT_FALSE(writeProfileString("TUTTI", "k", "new", tree.path(file))) << file;
                EXPECT_EQ(readProfileString("TUTTI", "k", "-", tree.path(file)), kept) << file;
            }));
    }
}
