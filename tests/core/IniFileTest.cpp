#include "platform/IniFile.h"
#include "support/FileSystemFaults.h"
#include "support/TestSupport.h"

using dokivo::platform::IniDocument;
using dokivo::platform::readProfileString;
using dokivo::platform::writeProfileString;
using namespace dokivo::test;

TEST(IniRead, FindsTheFirstMatchWithoutRegardToCaseAndCleansTheValue) {
    const struct {
        QByteArray text;
        const char* section;
        const char* key;
        QString value;
    } rows[] = {
        {"[tutti]\r\nDir_In_0=first\r\ndir_in_0=second\r\n[TUTTI]\r\ndir_in_0=third\r\n", "Tutti", "DIR_IN_0",
         "first"},
        {"[T]\n a =  spaced value  \n", "T", "a", "spaced value"},
        {"[T]\nb=\"quoted  \"\n", "T", "b", "quoted  "},  // one pair of quotes goes
        {"[T]\nc='single'\n", "T", "c", "single"},
        {"[T]\nd=\"\"twice\"\"\n", "T", "d", "\"twice\""},
        {"[T]\ne=\"unbalanced\n", "T", "e", "\"unbalanced"},
        {"k=orphan\n[A]\nk=a\n[B]\nother=1\n", "B", "k", ""},  // keys belong to their own section only
        {"[OTHER]\r\nk=v\r\n[TUTTI]\r\n;k=commented\r\nkk=v\r\n", "TUTTI", "k", ""},
        {"[T]\nk=" + QByteArray(3000, 'x') + "\n", "T", "k", QString(1023, 'x')},
        {"[T]\r\nk=Citt\xE0 \x80\r\n", "T", "k",
         QString::fromUtf8("Città €")},  // Windows-1252 when not UTF-8
        {"[T]\nk=Citt\xC3\xA0\n", "T", "k", QString::fromUtf8("Città")},
    };
    for (const auto& row : rows)
        EXPECT_EQ(IniDocument::parse(row.text).value(row.section, row.key), row.value) << row.text;
    EXPECT_TRUE(IniDocument::parse("[T]\nf=\n").hasValue("T", "f"));
    TempTree tree;
    EXPECT_EQ(readProfileString("TUTTI", "k", "def", tree.path("none.ini")), "def");
    tree.write("a.ini", "[OTHER]\r\nk=v\r\n");
    EXPECT_EQ(readProfileString("MISSING", "k", "x", tree.path("a.ini")), "x");
    EXPECT_EQ(readProfileString("OTHER", "k", "", tree.path("a.ini")), "v");
}

TEST(IniWrite, ChangesOnlyItsOwnLineOrAddsItAndFailsWithoutHarm) {
    const struct {
        const char* what;
        QByteArray before;  // empty: no file
        const char* section;
        QString value;
        bool written;
        QByteArray after;
    } rows[] = {
        {"its own line, comments and order kept",
         "; intestazione\r\n[TUTTI]\r\ndir_in_0=old\r\n; nota\r\nDIR_OUT_0=out\r\n\r\n[ALTRO]\r\nx=1\r\n",
         "TUTTI", "new", true,
         "; intestazione\r\n[TUTTI]\r\ndir_in_0=new\r\n; nota\r\nDIR_OUT_0=out\r\n\r\n[ALTRO]\r\nx=1\r\n"},
        {"a missing key at the end of its section", "[TUTTI]\nA=1\n\n[ALTRO]\nx=1\n", "TUTTI", "2", true,
         "[TUTTI]\r\nA=1\r\ndir_in_0=2\r\n\r\n[ALTRO]\r\nx=1\r\n"},
        {"a missing section at the end", "[TUTTI]\r\nA=1\r\n", "NUOVA", "3", true,
         "[TUTTI]\r\nA=1\r\n[NUOVA]\r\ndir_in_0=3\r\n"},
        {"a new file, a value kept on one line", "", "TUTTI", "two\r\nlines", true,
         "[TUTTI]\r\ndir_in_0=two  lines\r\n"},
        {"text beyond ASCII as UTF-8", "", "TUTTI", QString::fromUtf8("/scan/Envio_nº/città"), true,
         QString::fromUtf8("[TUTTI]\r\ndir_in_0=/scan/Envio_nº/città\r\n").toUtf8()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        TempTree tree;
        if (!row.before.isEmpty())
            tree.write("d.ini", row.before);
        EXPECT_EQ(writeProfileString(row.section, "dir_in_0", row.value, tree.path("d.ini")), row.written);
        EXPECT_EQ(tree.read("d.ini"), row.after);
        EXPECT_EQ(readProfileString(row.section, "dir_in_0", "", tree.path("d.ini")),
                  QString(row.value).replace("\r\n", "  "));
    }

    // Failures keep the old file: no folder, a folder in the file's place, a FIFO there (no wait),
    // a folder that refuses new files.
    TempTree tree;
    EXPECT_FALSE(writeProfileString("TUTTI", "k", "v", tree.path("missing/folder/d.ini")));
    tree.folder("d.ini.dir");
    EXPECT_FALSE(writeProfileString("TUTTI", "k", "new", tree.path("d.ini.dir")));
    if (makeFifo(tree.path("fifo.ini"))) {
        EXPECT_TRUE(runsWithoutBlocking(tree.path(), [&] {
            EXPECT_FALSE(writeProfileString("TUTTI", "k", "v", tree.path("fifo.ini")));
            EXPECT_EQ(readProfileString("TUTTI", "k", "<none>", tree.path("fifo.ini")), "<none>");
        }));
    }
    tree.write("ro/d.ini", "[TUTTI]\r\nk=old\r\n");
    {
        const Guard readOnly = readOnlyFolder(tree.path("ro"), true);
        if (!readOnly)
            GTEST_SKIP() << "this system cannot make a folder refuse every new file here (root without the "
                            "immutable attribute; on Windows the access list, which wine does not enforce)";
        EXPECT_FALSE(writeProfileString("TUTTI", "k", "new", tree.path("ro/d.ini")));
    }
    EXPECT_EQ(tree.read("ro/d.ini"), "[TUTTI]\r\nk=old\r\n");
}
