#include <gtest/gtest.h>

#include "config/ControlCodes.h"
#include "support/PassFixture.h"

using namespace dokivo;
using dokivo::test::PassFixture;

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
#ifndef Q_OS_WIN  // a name Windows does not allow
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
