#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include "SamplePdf.h"
#include "platform/Process.h"
#include "processing/PdfProtection.h"
#include "scan/ScanDriver.h"
#include "support/StandIn.h"
#include "support/TestSupport.h"

using namespace dokivo;

namespace {

const QString kStandardPassword = QStringLiteral("harbor42");

QByteArray samplePdf(std::uint32_t seed) {
    const std::string bytes = samplepdf::makeSamplePdf(4000, seed);
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Exit code of the qpdf command, -1 when it could not be run.
int qpdf(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("qpdf"), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}

// `file` opens with `password` only (and not with `otherPassword`). Where the qpdf program is
// not installed (Windows) the encryption dictionary in the file is what can be checked.
void expectProtectedBy(const QString& file, const QString& password, const QString& otherPassword = {}) {
    if (qpdf({"--version"}) != 0) {
        QFile pdf(file);
        ASSERT_TRUE(pdf.open(QIODevice::ReadOnly)) << file;
        const QByteArray bytes = pdf.readAll();
        EXPECT_TRUE(bytes.startsWith("%PDF-") && bytes.contains("/Encrypt")) << file;
        return;
    }
    EXPECT_EQ(qpdf({"--requires-password", file}), 0);
    EXPECT_EQ(qpdf({"--password=" + password, "--check", file}), 0);
    if (!otherPassword.isEmpty()) {
        EXPECT_NE(qpdf({"--password=" + otherPassword, "--check", file}), 0);
    }
}

// Encrypting slots of a configured tree: slot n reads "<n>/in" (or the folder given) and
// delivers to "<n>/out"; the password file lies in "conf/".
struct EncryptingPass : dokivo::test::ModuleFixture, ::testing::Test {
    QString slotLines;
    QString tool = m().folders.application + "encryptpdf.exe";

    void slot(int n, const QString& inputFolder = {}) {
        const QString base = QString::number(n) + "/";
        const QString input = inputFolder.isEmpty() ? tree.folder(base + "in") : inputFolder;
        const QString number = QString::number(n);
        slotLines += "dir_in_" + number + "=" + input + "\r\ndir_out_" + number + "=" +
                     tree.folder(base + "out") + "\r\ndir_log_" + number + "=" + tree.folder(base + "log") +
                     "\r\ngestione_pwd_" + number + "=1\r\n";
    }
    QString in(int n) const { return tree.path(QString::number(n) + "/in/"); }
    QString out(int n, const QString& name = {}) const {
        return tree.path(QString::number(n) + "/out/") + name;
    }

    void passwords(const QByteArray& aoDat) { tree.write("conf/ao.dat", aoDat); }
    void installRealTool() {
#ifdef DOKIVO_ENCRYPTPDF_PATH
        ASSERT_TRUE(QFile::copy(QStringLiteral(DOKIVO_ENCRYPTPDF_PATH), tool));
#else
        GTEST_SKIP() << "encryptpdf.exe is not built";
#endif
    }
    // A stand-in for the tool that takes the given steps (see StandInProgram.cpp).
    void installFakeTool(const QStringList& steps) {
        dokivo::test::installStandIn(tool, steps);
    }
    void pass() {
        writeIni("[TUTTI]\r\ndir_log_generale=" + tree.folder("track") +
                 "\r\ndir_pwd=" + tree.folder("conf") + "\r\n" + slotLines);
        LEGGI_DIR(m());
    }
    QStringList files(const QString& folder) const {
        return QDir(folder).entryList(QDir::Files, QDir::Name);
    }
    bool anyLineContains(const QString& text) const {
        for (const QString& line : m().operations.lines())
            if (line.contains(text))
                return true;
        return false;
    }
    const MainModule& m() const {
        return *module;
    }
    MainModule& m() {
        return *module;
    }
};

}  // namespace

TEST_F(EncryptingPass, RealPdfsAreDeliveredEncryptedWithTheSlotOrStandardPassword) {
    installRealTool();
    slot(3);
    slot(4);
    passwords("[3]\r\nP=segreto di stato\r\n");
    tree.write("3/in/Referto.pdf", samplePdf(1));
    tree.write("4/in/Esame.pdf", samplePdf(2));
    pass();

    ASSERT_EQ(files(out(3)), QStringList({"Referto.pdf"}));
    expectProtectedBy(out(3, "Referto.pdf"), "segreto di stato", kStandardPassword);

    ASSERT_EQ(files(out(4)), QStringList({"Esame.pdf"}));
    expectProtectedBy(out(4, "Esame.pdf"), kStandardPassword);

    EXPECT_TRUE(files(in(3)).isEmpty());  // no work file left behind
    const QStringList lines = messages();
    EXPECT_TRUE(lines.contains(" Cripto il file  Referto.pdf"));
    EXPECT_TRUE(lines.contains(" Inviato Comando per criptare Referto.pdf"));
    EXPECT_FALSE(anyLineContains("segreto"));
    EXPECT_FALSE(anyLineContains(kStandardPassword));
}

TEST_F(EncryptingPass, BlanksInTheInputFolderAndTheNameReachTheToolIntact) {
    installRealTool();
    const QString input = tree.folder("5/scan box");
    slot(5, input);
    tree.write("5/scan box/Scan 01.pdf", samplePdf(3));
    pass();

    ASSERT_EQ(files(out(5)), QStringList({"Scan_01.pdf"}));
    expectProtectedBy(out(5, "Scan_01.pdf"), kStandardPassword);
    EXPECT_TRUE(files(input).isEmpty());
}

TEST_F(EncryptingPass, TheToolGetsOneArgumentPerValue) {
    installFakeTool({"args " + tree.path("args.txt"), "copy 2 4"});
    slot(0, tree.folder("0/in tray"));
    passwords("[0]\r\nP=pass word\r\n");
    tree.write("0/in tray/a b.pdf", "plain");
    pass();

    const QString input = tree.path("0/in tray/");
    EXPECT_EQ(
        QString::fromUtf8(tree.read("args.txt")).split('\n', Qt::SkipEmptyParts),
        QStringList({"-i", input + "a b.pdf", "-o", input + "cripato.pdf", "-u", "pass word", "-e", "40"}));
    EXPECT_EQ(files(out(0)), QStringList({"a_b.pdf"}));
}

TEST_F(EncryptingPass, EventsLetThroughDuringTheWaitStartNoSecondPass) {
    installFakeTool({"copy 2 4"});
    slot(0);
    tree.write("0/in/Referto.pdf", "plain");
    int nestedStarts = 0;
    frontend.onProcessEvents = [&] {
        ++nestedStarts;
        LEGGI_DIR(m());  // a timer tick or the run button while the tool runs
    };
    pass();

    EXPECT_GT(nestedStarts, 0);
    EXPECT_EQ(messages().count(" Inizio lettura contenuto : " + in(0)), 1);
    EXPECT_EQ(files(out(0)), QStringList({"Referto.pdf"}));
}

TEST_F(EncryptingPass, TheWindowsEventsRunWhileTheToolRuns) {
    // The tool waits, a few seconds at most, for a sign that only the window's events give; the
    // first events after its start go by before the wait, so the sign must come from within it.
    const QString started = tree.path("started");
    const QString go = tree.path("go");
    installFakeTool({"touch " + started, "await " + go + " 5", "copy 2 4"});
    slot(0);
    tree.write("0/in/Referto.pdf", "plain");
    bool sawStarted = false;
    frontend.onProcessEvents = [&] {
        if (sawStarted)
            tree.write("go", "");
        sawStarted = QFile::exists(started);
    };
    pass();

    EXPECT_EQ(tree.read("0/out/Referto.pdf"), "plain");
    EXPECT_FALSE(anyLineContains("Errore Cripto"));
}

TEST_F(EncryptingPass, AToolThatWritesNothingFailsTheFileAtOnceOnlyWhenItSaysSo) {
    struct Case {
        const char* tool;
        bool awaited;  // the ten seconds for the work file
    };
    const Case cases[] = {
        {"exit 0", true},
        {"exit 1", false},
        {"crash", false},
    };
    slot(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tool);
        installFakeTool({c.tool});
        tree.write("0/in/Referto.pdf", "original");
        module->operations.clear();
        frontend.eventRounds = 0;
        const QDateTime start = clock.now();
        pass();

        EXPECT_TRUE(messages().contains(" Errore Cripto il file  Referto.pdf"));
        const qint64 waited = start.secsTo(clock.now());
        if (c.awaited) {
            EXPECT_GT(waited, 10);
            EXPECT_LE(waited, 12);
            EXPECT_GE(frontend.eventRounds, 2 * waited) << "the window's events run during the wait";
        } else {
            EXPECT_EQ(waited, 0);
        }
        EXPECT_EQ(tree.read("0/in/Referto.pdf"), "original");
        EXPECT_TRUE(files(out(0)).isEmpty());
        EXPECT_TRUE(messages().contains(" Elaborati : 0"));
    }
}

TEST_F(EncryptingPass, ADocumentProtectedByAnEarlierPassIsDeliveredWithoutASecondEncryption) {
    installRealTool();
    slot(3);
    slotLines += "dir_backup_3=" + tree.path("3/bak") + "\r\n";  // missing: the first delivery fails
    passwords("[3]\r\nP=segreto\r\n");
    tree.write("3/in/Referto.pdf", samplePdf(5));
    pass();
    ASSERT_TRUE(files(out(3)).isEmpty());
    EXPECT_EQ(qpdf({"--requires-password", in(3) + "Referto.pdf"}), 0) << "protected where it lies";

    tree.folder("3/bak");
    pass();
    ASSERT_EQ(files(out(3)), QStringList({"Referto.pdf"}));
    EXPECT_EQ(qpdf({"--password=segreto", "--check", out(3, "Referto.pdf")}), 0);
    EXPECT_EQ(messages().count(" Cripto il file  Referto.pdf"), 1);
    EXPECT_TRUE(messages().contains(" File gia' protetto, non lo cripto di nuovo  Referto.pdf"));
    EXPECT_FALSE(anyLineContains("Errore Cripto"));
}

TEST_F(EncryptingPass, DocumentsThePodsitirRuleLeavesInPlaceAreNotEncrypted) {
    installFakeTool({"write 4 protected"});
    slot(0);
    slotLines += "dir_nazionale_0=PODSITIR\r\n";
    tree.write("0/in/invoice.pdf", "no marker");
    tree.write("0/in/POD__ABCDEF009123456.pdf", "no valid type");
    tree.write("0/in/POD__ABCDEF005123456.pdf", "filed");
    pass();

    EXPECT_EQ(tree.read("0/in/invoice.pdf"), "no marker");
    EXPECT_EQ(tree.read("0/in/POD__ABCDEF009123456.pdf"), "no valid type");
    EXPECT_EQ(tree.read("0/out/POD_005123456.pdf"), "protected\n");
    const QStringList lines = messages();
    EXPECT_EQ(lines.filter("Cripto il file"), QStringList{" Cripto il file  POD__ABCDEF005123456.pdf"});
    const qsizetype sent = lines.indexOf(" Inviato Comando per criptare POD__ABCDEF005123456.pdf");
    EXPECT_LT(lines.indexOf(" Cripto il file  POD__ABCDEF005123456.pdf"), sent);
    EXPECT_LT(sent,
              lines.indexOf(" Copiato " + in(0) + "POD__ABCDEF005123456.pdf  nella dir di destinazione " +
                            out(0, "POD_005123456.pdf")));
}

TEST_F(EncryptingPass, ALeftoverWorkFileIsDeletedBeforeTheToolRuns) {
    // Were the leftover kept, the wait would take it for this document's protected copy.
    installFakeTool({"exit 0"});
    slot(0);
    tree.write("0/in/Referto.pdf", "original");
    tree.write("0/in/cripato.pdf", "from an earlier failure");
    pass();

    EXPECT_TRUE(messages().contains(" Errore Cripto il file  Referto.pdf"));
    EXPECT_EQ(files(in(0)), QStringList({"Referto.pdf"}));
    EXPECT_EQ(tree.read("0/in/Referto.pdf"), "original");
    EXPECT_TRUE(files(out(0)).isEmpty());
}

TEST_F(EncryptingPass, WithoutTheToolDocumentsAreDeliveredUnencrypted) {
    slot(0);
    tree.write("0/in/Referto.pdf", "original");
    pass();

    EXPECT_EQ(tree.read("0/out/Referto.pdf"), "original");
    EXPECT_FALSE(anyLineContains("Cripto"));
}

TEST_F(EncryptingPass, AToolThatCannotStartIsReportedWithTheMaskedCommandLine) {
    tree.write("app/encryptpdf.exe", "not a program");
    QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner);
    slot(0);
    passwords("[0]\r\nP=riservato\r\n");
    tree.write("0/in/Referto.pdf", "original");
    pass();

    ASSERT_EQ(frontend.messages.size(), 1);
    const QString input = in(0);
    // The program as Windows names it in short (8.3) form; elsewhere its path as it is.
    EXPECT_TRUE(frontend.messages[0].startsWith("Error starting task " + platform::shortPathName(tool) +
                                                " -i " + input + "Referto.pdf -o " + input +
                                                "cripato.pdf -u ******** -e 40\r\n"))
        << frontend.messages[0].toStdString();
    EXPECT_FALSE(frontend.messages[0].contains("riservato"));
    EXPECT_EQ(frontend.lastTitle, "Error");
    EXPECT_EQ(frontend.lastIcon, Frontend::MessageIcon::Exclamation);
    EXPECT_TRUE(messages().contains(" Errore Cripto il file  Referto.pdf"));
    EXPECT_EQ(tree.read("0/in/Referto.pdf"), "original");
}

TEST_F(EncryptingPass, ASlotWithTheSwitchOffIsNotEncrypted) {
    installFakeTool({"write 4 changed"});
    slot(0);
    slotLines.replace("gestione_pwd_0=1", "gestione_pwd_0=0");
    tree.write("0/in/Referto.pdf", "original");
    tree.write("0/in/cripato.pdf", "a document of that name");  // the work file only where a slot encrypts
    pass();

    EXPECT_EQ(tree.read("0/out/Referto.pdf"), "original");
    EXPECT_EQ(tree.read("0/out/cripato.pdf"), "a document of that name");
    EXPECT_FALSE(anyLineContains("Cripto"));
}

TEST(PdfProtection, IsReadFromTheLastTrailerOrCrossReferenceStream) {
    dokivo::test::TempTree tree;
    tree.write("plain.pdf", samplePdf(7));
    ASSERT_EQ(qpdf({"--object-streams=generate", tree.path("plain.pdf"), tree.path("streams.pdf")}), 0);
    ASSERT_EQ(qpdf({"--object-streams=generate", "--encrypt", "u", "o", "256", "--", tree.path("plain.pdf"),
                    tree.path("streams-protected.pdf")}),
              0);
    ASSERT_EQ(qpdf({"--encrypt", "u", "o", "256", "--", tree.path("plain.pdf"), tree.path("protected.pdf")}),
              0);
    const QByteArray body = "%PDF-1.4\n1 0 obj\n<< /Note (/Encrypt) >>\nendobj\n";
    tree.write("mentions.pdf",
               body + "trailer\n<< /Root 1 0 R /EncryptMetadata false >>\nstartxref\n9\n%%EOF\n");
    tree.write("direct.pdf",
               body + "trailer\n<</Root 1 0 R/Encrypt<</Filter/Standard>>>>\nstartxref\n9\n%%EOF\n");
    tree.write("text.pdf", "not a PDF /Encrypt");

    const std::pair<const char*, bool> cases[] = {
        {"plain.pdf", false},    {"streams.pdf", false},  {"streams-protected.pdf", true},
        {"protected.pdf", true}, {"mentions.pdf", false}, {"direct.pdf", true},
        {"text.pdf", false},     {"missing.pdf", false},
    };
    for (const auto& [name, isProtected] : cases)
        EXPECT_EQ(isPasswordProtectedPdf(tree.path(name)), isProtected) << name;
}

namespace {

// A program to run: the stand-in with `steps`.
QString standIn(const dokivo::test::TempTree& tree, const QStringList& steps) {
    dokivo::test::installStandIn(tree.path("tool.exe"), steps);
    return tree.path("tool.exe");
}

}  // namespace

TEST(OutsideProgram, GetsEachArgumentWholeAndNoInput) {
    dokivo::test::TempTree tree;
    const QString program = standIn(tree, {"input 1"});
    platform::OutsideProgram run;
    ASSERT_TRUE(run.start(program, {tree.path("seen.txt"), "two words", ""}));
    EXPECT_EQ(run.waitForEnd(60000), platform::OutsideProgram::End::Finished);
    EXPECT_EQ(tree.read("seen.txt"), "eof 3\n");
}

TEST(OutsideProgram, AProgramStillRunningAfterItsLimitIsEnded) {
    dokivo::test::TempTree tree;
    platform::OutsideProgram run;
    ASSERT_TRUE(run.start(standIn(tree, {"sleep 60"}), {}));
    EXPECT_EQ(run.waitForEnd(200), platform::OutsideProgram::End::Ended);
}

TEST(OutsideProgram, AMissingProgramDoesNotStart) {
    dokivo::test::TempTree tree;
    platform::OutsideProgram run;
    EXPECT_FALSE(run.start(tree.path("missing.exe"), {}));
    EXPECT_FALSE(run.failure().isEmpty());
}
