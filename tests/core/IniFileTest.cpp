#include <gtest/gtest.h>

#include "platform/IniFile.h"
#include "support/FileSystemFaults.h"
#include "support/TestSupport.h"

using dokivo::platform::IniDocument;
using dokivo::platform::readProfileString;
using dokivo::platform::writeProfileString;
using dokivo::test::TempTree;

namespace {

IniDocument parse(const char* text) {
    return IniDocument::parse(QByteArray(text));
}

}  // namespace

TEST(IniRead, MatchesSectionAndKeyWithoutRegardToCaseAndTakesTheFirstMatch) {
    const IniDocument ini =
        parse("[tutti]\r\nDir_In_0=first\r\ndir_in_0=second\r\n[TUTTI]\r\ndir_in_0=third\r\n");
    EXPECT_EQ(ini.value("TUTTI", "dir_in_0"), "first");
    EXPECT_EQ(ini.value("Tutti", "DIR_IN_0"), "first");
}

TEST(IniRead, DropsBlanksAroundTheValueAndOnePairOfQuotes) {
    const IniDocument ini = parse(
        "[TUTTI]\n a =  spaced value  \nb=\"quoted  \"\nc='single'\nd=\"\"twice\"\"\ne=\"unbalanced\nf=\n");
    EXPECT_EQ(ini.value("TUTTI", "a"), "spaced value");
    EXPECT_EQ(ini.value("TUTTI", "b"), "quoted  ");
    EXPECT_EQ(ini.value("TUTTI", "c"), "single");
    EXPECT_EQ(ini.value("TUTTI", "d"), "\"twice\"");
    EXPECT_EQ(ini.value("TUTTI", "e"), "\"unbalanced");
    EXPECT_EQ(ini.value("TUTTI", "f"), "");
    EXPECT_TRUE(ini.hasValue("TUTTI", "f"));
}

TEST(IniRead, MissingFileSectionOrKeyGivesTheFallback) {
    TempTree tree;
    EXPECT_EQ(readProfileString("TUTTI", "k", "def", tree.path("none.ini")), "def");
    tree.write("a.ini", "[OTHER]\r\nk=v\r\n[TUTTI]\r\n;k=commented\r\nkk=v\r\n");
    EXPECT_EQ(readProfileString("TUTTI", "k", "", tree.path("a.ini")), "");
    EXPECT_EQ(readProfileString("MISSING", "k", "x", tree.path("a.ini")), "x");
    EXPECT_EQ(readProfileString("OTHER", "k", "", tree.path("a.ini")), "v");
}

TEST(IniRead, KeysBelongOnlyToTheirOwnSection) {
    const IniDocument ini = parse("k=orphan\n[A]\nk=a\n[B]\nother=1\n");
    EXPECT_EQ(ini.value("B", "k"), "");
    EXPECT_EQ(ini.value("A", "k"), "a");
}

TEST(IniRead, CutsValuesTo1023Characters) {
    const QByteArray longValue(3000, 'x');
    const IniDocument ini = IniDocument::parse("[TUTTI]\nk=" + longValue + "\n");
    EXPECT_EQ(ini.value("TUTTI", "k").size(), 1023);
}

TEST(IniRead, ReadsWindows1252WhenTheFileIsNotUtf8) {
    // "Città" with à as the single byte 0xE0, and the euro sign 0x80.
    const IniDocument ini = IniDocument::parse(QByteArray("[TUTTI]\r\nk=Citt\xE0 \x80\r\n"));
    EXPECT_EQ(ini.value("TUTTI", "k"), QString::fromUtf8("Città €"));
    const IniDocument utf8 = IniDocument::parse(QByteArray("[TUTTI]\nk=Citt\xC3\xA0\n"));
    EXPECT_EQ(utf8.value("TUTTI", "k"), QString::fromUtf8("Città"));
}

TEST(IniWrite, ChangesOnlyItsOwnLineAndKeepsCommentsAndOrder) {
    TempTree tree;
    tree.write(
        "d.ini",
        "; intestazione\r\n[TUTTI]\r\ndir_in_0=old\r\n; nota\r\nDIR_OUT_0=out\r\n\r\n[ALTRO]\r\nx=1\r\n");
    ASSERT_TRUE(writeProfileString("TUTTI", "dir_in_0", "new", tree.path("d.ini")));
    EXPECT_EQ(
        tree.read("d.ini"),
        "; intestazione\r\n[TUTTI]\r\ndir_in_0=new\r\n; nota\r\nDIR_OUT_0=out\r\n\r\n[ALTRO]\r\nx=1\r\n");
}

TEST(IniWrite, AddsAMissingKeyAtTheEndOfItsSectionAndAMissingSectionAtTheEnd) {
    TempTree tree;
    tree.write("d.ini", "[TUTTI]\nA=1\n\n[ALTRO]\nx=1\n");
    ASSERT_TRUE(writeProfileString("TUTTI", "b", "2", tree.path("d.ini")));
    ASSERT_TRUE(writeProfileString("NUOVA", "c", "3", tree.path("d.ini")));
    EXPECT_EQ(tree.read("d.ini"), "[TUTTI]\r\nA=1\r\nb=2\r\n\r\n[ALTRO]\r\nx=1\r\n[NUOVA]\r\nc=3\r\n");
}

TEST(IniWrite, CreatesTheFileAndKeepsAValueOnOneLine) {
    TempTree tree;
    ASSERT_TRUE(writeProfileString("TUTTI", "k", "two\r\nlines", tree.path("new.ini")));
    EXPECT_EQ(tree.read("new.ini"), "[TUTTI]\r\nk=two  lines\r\n");
    EXPECT_EQ(readProfileString("TUTTI", "k", "", tree.path("new.ini")), "two  lines");
}

TEST(IniWrite, RoundTripsNonAsciiTextAsUtf8) {
    TempTree tree;
    ASSERT_TRUE(writeProfileString("TUTTI", "dir_in_0", QString::fromUtf8("/scan/Envio_nº/città"),
                                   tree.path("u.ini")));
    EXPECT_EQ(readProfileString("TUTTI", "dir_in_0", "", tree.path("u.ini")),
              QString::fromUtf8("/scan/Envio_nº/città"));
}

TEST(IniWrite, FailureInAReadOnlyFolderKeepsTheOldFile) {
    TempTree tree;
    tree.write("ro/d.ini", "[TUTTI]\r\nk=old\r\n");
    {
        dokivo::test::ReadOnlyFolder readOnly(tree.path("ro"));
        if (!readOnly.refusesEveryWrite())
            GTEST_SKIP() << "this system cannot make a folder refuse every new file here (root without the "
                            "immutable attribute; on Windows the access list, which wine does not enforce)";
        EXPECT_FALSE(writeProfileString("TUTTI", "k", "new", tree.path("ro/d.ini")));
    }
    EXPECT_EQ(tree.read("ro/d.ini"), "[TUTTI]\r\nk=old\r\n");
}

TEST(IniWrite, FailureWhenTheTargetCannotBeReplacedKeepsTheOldFile) {
    // A folder standing where the temporary file's folder should be makes any write fail,
    // also for root.
    TempTree tree;
    EXPECT_FALSE(writeProfileString("TUTTI", "k", "v", tree.path("missing/folder/d.ini")));
    tree.write("d.ini", "[TUTTI]\r\nk=old\r\n");
    QDir().mkpath(tree.path("d.ini.dir"));
    EXPECT_FALSE(writeProfileString("TUTTI", "k", "new", tree.path("d.ini.dir")));
    EXPECT_EQ(tree.read("d.ini"), "[TUTTI]\r\nk=old\r\n");
}
