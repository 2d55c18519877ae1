// Encrypting slots: the real tool on generated PDFs, checked with libqpdf, and the stand-in program
// where the test needs the tool to misbehave. Then the PDF protection check and the outside
// program runner.

#include "SamplePdf.h"
#include "platform/Process.h"
#include "processing/PdfProtection.h"
#include "support/PassScenario.h"
#include "support/PdfInspection.h"
#include "support/ProcessRunner.h"

using namespace dokivo;
using namespace dokivo::test;

namespace {

const QString kStandardPassword = QStringLiteral("harbor42");
const QStringList kEncrypting{"@gestione_pwd_0=1", "@dir_pwd={pwd}"};

// `file` opens with `password` only: not without one, nor with `other`.
void expectProtectedBy(const QString& file, const QString& password, const QString& other = {}) {
    EXPECT_TRUE(!openPdf(file) && openPdf(file, password.toStdString())) << file;
    EXPECT_TRUE(other.isEmpty() || openPdf(file, other.toStdString()) == nullptr);
}

QString toolPath(const PassTree& t) {
    return t.module->folders.application + "encryptpdf.exe";
}

// The real tool, and a generated PDF as "in/Referto.pdf".
void realTool(PassTree& t) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(DOKIVO_ENCRYPTPDF_PATH), toolPath(t)));
    t.tree.write("in/Referto.pdf", QByteArray::fromStdString(samplepdf::makeSamplePdf(4000, 1)));
}

// The stand-in for the tool, taking `steps` (see StandInProgram.cpp); {name} as in the texts.
Hook standIn(const QStringList& steps) {
    return [=](PassTree& t) { installStandIn(toolPath(t), t.expand(steps.join('\n')).split('\n')); };
}

// A tool that ends without writing the protected copy: failed at once when it says so, else
// after waiting ten seconds (of the fake clock) for the copy, the window's events running. A work
// file left from before goes first, or the wait would take it for the copy.
Scenario toolWritesNothing(const char* what, const char* step, bool awaited) {
    return {what,
            kEncrypting + QStringList{"+in/Referto.pdf=original", "+in/cripato.pdf=from an earlier failure",
                                      "in/=Referto.pdf", "in/Referto.pdf=original",
                                      "out/=", "> Errore Cripto il file  Referto.pdf", "> Elaborati : 0"},
            standIn({step}), [awaited](PassTree& t) {
                const qint64 waited = FakeClock().now().secsTo(t.clock.now());
                EXPECT_TRUE(awaited ? waited > 10 && waited <= 12 : waited == 0) << waited;
                EXPECT_GE(t.frontend.eventRounds, 2 * waited) << "the window's events run during the wait";
            }};
}

const Scenario kEncryption[] = {
    // Delivered in a second pass: the first fails (its backup folder is missing) after the tool ran.
    {"real PDFs are protected by the slot's password which no line shows, and never encrypted twice",
     kEncrypting + QStringList{"@dir_backup_0={later}", "+pwd/ao.dat=[0]\r\nP=segreto di stato\r\n", "out/=",
                               "> Cripto il file  Referto.pdf", "> Inviato Comando per criptare Referto.pdf",
                               ">!segreto", ">!" + kStandardPassword, ">~ Lettura Cartella 27 "},
     realTool,
     [](PassTree& t) {
         expectProtectedBy(t.tree.path("in/Referto.pdf"), "segreto di stato", kStandardPassword);
     },
     {{{"+later/", "in/=", "out/=Referto.pdf", "> File gia' protetto, non lo cripto di nuovo  Referto.pdf",
        ">!Cripto il file", "#Referto.pdf\t**"},
       {},
       [](PassTree& t) { expectProtectedBy(t.tree.path("out/Referto.pdf"), "segreto di stato"); }}}},
    // It opens without a password; only its use is restricted.
    {"a PDF with an owner password alone is protected by the slot's password",
     kEncrypting + QStringList{"in/=", "out/=Referto.pdf", "> Cripto il file  Referto.pdf", ">!gia' protetto",
                               "#Referto.pdf\t**"},
     [](PassTree& t) {
         realTool(t);
         writeWithObjectStreams(*openPdf(t.tree.path("in/Referto.pdf")), t.tree.path("in/limited.pdf"), "",
                                "o");
         ASSERT_TRUE(QFile::remove(t.tree.path("in/Referto.pdf")) &&
                     QFile::rename(t.tree.path("in/limited.pdf"), t.tree.path("in/Referto.pdf")));
     },
     [](PassTree& t) { expectProtectedBy(t.tree.path("out/Referto.pdf"), kStandardPassword); }},
    // The tool waits, a few seconds at most, for a sign only the window's events give; the first
    // events after its start go by before the wait, so the sign must come from within it. A timer
    // tick or the run button meanwhile must not start a second pass. Without a password of its own
    // the slot's is the standard one.
    {"the window's events run while the tool runs and start no second pass",
     kEncrypting + QStringList{"+in/Referto.pdf=plain", "out/Referto.pdf=plain", ">!Errore Cripto",
                               "#Referto.pdf\t**", "args.txt=~-u\n" + kStandardPassword + "\n"},
     [](PassTree& t) {
         standIn({"args {tree}args.txt", "await {tree}go 5", "copy 2 4"})(t);
         t.frontend.onProcessEvents = [&t] {
             if (!t.notes.isEmpty())
                 t.drop("go=");
             if (t.tree.exists("args.txt"))  // the tool has started
                 t.notes << "started";
             runScanPass(t.m());
         };
     },
     [](PassTree& t) { EXPECT_EQ(t.messages().count(t.expand(" Inizio lettura contenuto : {in}")), 1); }},
    toolWritesNothing("a tool ending well without a copy fails the file after the wait", "exit 0", true),
    toolWritesNothing("a tool ending with an error fails the file at once", "exit 1", false),
    toolWritesNothing("a crashing tool fails the file at once", "crash", false),
    {"a PODSITIR slot renames marked names, leaves the rest and encrypts only what it files",
     kEncrypting + QStringList{"@dir_nazionale_0=PODSITIR", "+in/invoice.pdf=no marker",
                               "+in/POD__ABCDEF009123456.pdf=no valid type",
                               "+in/POD__ABCDEF005123456.pdf=filed", "in/invoice.pdf=no marker",
                               "in/POD__ABCDEF009123456.pdf=no valid type", "out/=POD_005123456.pdf",
                               "out/POD_005123456.pdf=protected\n", "#POD_005123456.pdf\t**",
                               "> PODSITIR non copiato: nome non valido {in}POD__ABCDEF009123456.pdf",
                               ">!nome non valido {in}invoice", "> Cripto il file  POD__ABCDEF005123456.pdf",
                               ">!Cripto il file  invoice", ">!Cripto il file  POD__ABCDEF009"},
     standIn({"write 4 protected"})},
    {"without the tool documents are delivered unencrypted",
     kEncrypting +
         QStringList{"+in/Referto.pdf=original", "out/Referto.pdf=original", ">!Cripto", "#Referto.pdf\t**"}},
    {"a slot with the switch off is not encrypted and files a document named like the work file",
     {"@gestione_pwd_0=0", "@dir_pwd={pwd}", "+in/Referto.pdf=original",
      "+in/cripato.pdf=a document of that name", "out/Referto.pdf=original",
      "out/cripato.pdf=a document of that name", ">!Cripto", "#Referto.pdf\t**", "#cripato.pdf\t**"},
     standIn({"write 4 changed"})},
    {"a tool that cannot start is reported with the masked command line",
     kEncrypting + QStringList{"+pwd/ao.dat=[0]\r\nP=riservato\r\n", "+in/Referto.pdf=original",
                               "+app/encryptpdf.exe=not a program", "in/Referto.pdf=original",
                               "> Errore Cripto il file  Referto.pdf"},
     [](PassTree& t) { QFile::setPermissions(toolPath(t), QFile::ReadOwner | QFile::WriteOwner); },
     [](PassTree& t) {
         ASSERT_EQ(t.frontend.messages.size(), 1);
         // The program as Windows names it in short (8.3) form; elsewhere its path as it is.
         EXPECT_TRUE(t.frontend.messages[0].startsWith(
             "Error starting task " + platform::shortPathName(toolPath(t)) +
             t.expand(" -i {in}Referto.pdf -o {in}cripato.pdf -u ******** -e 40\r\n")))
             << t.frontend.messages[0];
         EXPECT_FALSE(t.frontend.messages[0].contains("riservato"));
     }},
};
INSTANTIATE_TEST_SUITE_P(Encryption, PassScenario, ::testing::ValuesIn(kEncryption), scenarioName);

}  // namespace

TEST(PdfProtection, MeansNoOpeningWithoutAPassword) {
    TempTree tree;
    tree.write("plain.pdf", QByteArray::fromStdString(samplepdf::makeSamplePdf(4000, 7)));
    writeWithObjectStreams(*openPdf(tree.path("plain.pdf")), tree.path("streams.pdf"));
    writeWithObjectStreams(*openPdf(tree.path("plain.pdf")), tree.path("streams-protected.pdf"), "u");
    writeWithObjectStreams(*openPdf(tree.path("plain.pdf")), tree.path("owner-only.pdf"), "", "o");
    tree.write("damaged.pdf",
               "%PDF-1.4\n1 0 obj\n<< >>\nendobj\ntrailer\n<</Root 1 0 R/Encrypt<</Filter/Standard>>>>\n"
               "startxref\n9\n%%EOF\n");
    tree.write("text.pdf", "not a PDF /Encrypt");
    // Those that open without a password are encrypted by the passes; the tool says why it cannot read
    // the unreadable ones.
    const std::pair<const char*, bool> cases[] = {
        {"plain.pdf", false},      {"streams.pdf", false}, {"streams-protected.pdf", true},
        {"owner-only.pdf", false}, {"damaged.pdf", false}, {"text.pdf", false},
        {"missing.pdf", false}};
    for (const auto& [name, isProtected] : cases)
        EXPECT_EQ(isPasswordProtectedPdf(tree.path(name)), isProtected) << name;
}

TEST(OutsideProgram, GetsEachArgumentWholeAndNoInputAndIsEndedAfterItsLimit) {
    TempTree tree;
    installStandIn(tree.path("tool.exe"), {"input 1"});
    platform::OutsideProgram run;
    ASSERT_TRUE(run.start(tree.path("tool.exe"), {tree.path("seen.txt"), "two words", ""}));
    EXPECT_EQ(run.waitForEnd(60000), platform::OutsideProgram::End::Finished);
    EXPECT_EQ(tree.read("seen.txt"), "eof 3\n");

    installStandIn(tree.path("tool.exe"), {"await " + tree.path("never") + " 60"});
    platform::OutsideProgram sleeper;
    ASSERT_TRUE(sleeper.start(tree.path("tool.exe"), {}));
    EXPECT_EQ(sleeper.waitForEnd(200), platform::OutsideProgram::End::Ended);
}
