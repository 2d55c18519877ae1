// Runs the real encryptpdf.exe on generated scans and checks its output with libqpdf.
#include <qpdf/QPDFPageDocumentHelper.hh>

#include "SamplePdf.h"
#include "support/PdfInspection.h"
#include "support/ProcessRunner.h"
#include "support/TestSupport.h"

namespace dokivo::test {
namespace {

// The pages, and the pixels of the first one's scan, decrypted and decompressed.
std::pair<std::size_t, std::string> pagesAndFirstScan(QPDF& pdf) {
    auto pages = QPDFPageDocumentHelper(pdf).getAllPages();
    const auto data = pages.at(0).getImages().at("/Scan").getStreamData();
    return {pages.size(), {reinterpret_cast<const char*>(data->getBuffer()), data->getSize()}};
}

const QByteArray kScan = QByteArray::fromStdString(samplepdf::makeSamplePdf(30000, 7, 3));
// The scan without its cross-reference table: readers rebuild it.
const QByteArray kWithoutXref = kScan.left(kScan.indexOf("xref\n0 ")) + kScan.mid(kScan.indexOf("trailer"));

// A run that must succeed: the output opens with `opens` alone, as the user, at `bits` strength.
struct Encryption {
    const char* name;
    QString bits, user;          // as typed
    std::string opens, refused;  // as the format stores them: the password and a near miss
    QString input = QStringLiteral("scan.pdf");
    bool damaged = false;  // the input is kWithoutXref
    friend void PrintTo(const Encryption& c, std::ostream* out) { *out << c.name; }
};

// Revision, version, method and key bytes of each strength.
const std::map<QString, std::tuple<int, int, QPDF::encryption_method_e, std::size_t>> kStrengths{
    {"40", {2, 1, QPDF::e_rc4, 5}}, {"128", {4, 4, QPDF::e_aes, 16}}, {"256", {6, 5, QPDF::e_aesv3, 32}}};

using EncryptPdfRun = ::testing::TestWithParam<Encryption>;

TEST_P(EncryptPdfRun, OutputOpensOnlyWithItsPasswordsAndKeepsThePages) {
    const Encryption& c = GetParam();
    TempTree tree;
    tree.write("clean.pdf", kScan);
    tree.write(c.input, c.damaged ? kWithoutXref : kScan);
    const QString in = tree.path(c.input), folder = QFileInfo(in).path(), out = folder + "/locked scan.pdf",
                  owned = folder + "/owned.pdf", again = folder + "/again.pdf";
    // Options in another order than the usage line's.
    ProcessResult r = runProcess(ENCRYPTPDF_PATH, {"-e", c.bits, "-o", out, "-u", c.user, "-i", in});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = runProcess(ENCRYPTPDF_PATH,
                   {"-i", in, "-o", owned, "-u", c.user, "-e", c.bits, "-p", "owner secret"});
    ASSERT_EQ(r.exitCode, 0) << r.err;

    EXPECT_TRUE(openPdf(out) == nullptr && openPdf(out, c.refused) == nullptr);
    auto pdf = openPdf(out, c.opens);
    ASSERT_NE(pdf, nullptr);
    EXPECT_FALSE(pdf->ownerPasswordMatched());  // the generated owner password is another one
    int revision = 0, permissions = 0, version = 0;
    QPDF::encryption_method_e streams{}, strings{}, files{};
    ASSERT_TRUE(pdf->isEncrypted(revision, permissions, version, streams, strings, files));
    // Below V4 there are no crypt filters and libqpdf names no method: RC4 is implied.
    const auto method = [&](QPDF::encryption_method_e m) { return version < 4 ? QPDF::e_rc4 : m; };
    EXPECT_EQ(std::tuple(revision, version, method(streams), pdf->getEncryptionKey().size()),
              kStrengths.at(c.bits));
    EXPECT_EQ(method(strings), method(streams));
    EXPECT_TRUE(pagesAndFirstScan(*pdf) == pagesAndFirstScan(*openPdf(tree.path("clean.pdf"))))
        << "the pages or the scan's pixels changed";
    EXPECT_FALSE(pdf->anyWarnings());  // the copy is whole, even of a damaged input

    const auto asOwner = openPdf(owned, "owner secret");
    EXPECT_TRUE(asOwner && asOwner->ownerPasswordMatched() && !openPdf(owned, "owner"));

    // Up to AES-128 the owner hash follows from the two passwords alone: a second run without an
    // owner password may only give another one if the generated password is new for every run.
    const auto ownerHash = [&](const QString& file) {
        return openPdf(file, c.opens)->getTrailer().getKey("/Encrypt").getKey("/O").getStringValue();
    };
    ASSERT_EQ(runProcess(ENCRYPTPDF_PATH, {"-i", in, "-o", again, "-u", c.user, "-e", c.bits}).exitCode, 0);
    EXPECT_TRUE(version > 4 || ownerHash(out) != ownerHash(again));
}

const std::string kUtf8 = "s\xC3\xBC\xC3\x9F", kPdfDoc = "s\xFC\xDF";  // "süß"

INSTANTIATE_TEST_SUITE_P(
    Runs, EncryptPdfRun,
    ::testing::Values(
        // Up to AES-128 a password is stored in PDFDocEncoding, from AES-256 on in UTF-8.
        Encryption{"NonAscii128", "128", QString::fromStdString(kUtf8), kPdfDoc, kUtf8},
        Encryption{"NonAscii256", "256", QString::fromStdString(kUtf8), kUtf8, kPdfDoc},
        // The password is not cut at its blanks nor trimmed.
        Encryption{"BlanksAndNonAsciiInPathsAndPassword", "40", " lead and trail ", " lead and trail ",
                   "lead and trail", QString::fromUtf8("scansioni \xC3\xA8 \xC5\x82/scan 1.pdf")},
        Encryption{"DamagedInputRepaired", "256", "user", "user", "wrong", "bad.pdf", true}),
    [](const auto& info) { return std::string(info.param.name); });

// Command lines that must be refused, and what the one-line message has to point at. Arguments
// are apart by one blank, so two blanks pass an empty one; a name with a dot is one of the test
// folder: a sample scan, a text, a missing file, an output that exists already, an encrypted PDF
// and an empty folder. Nothing may change: no output, no temporary file, the old output as it was.
TEST(EncryptPdfRefusal, ExplainsInOneLineAndChangesNothing) {
    TempTree tree;
    tree.write("scan.pdf", kScan);
    tree.write("notes.txt", "shopping list\n");
    tree.write("locked.pdf", "previous content");
    tree.folder("folder.pdf");
    writeWithObjectStreams(*openPdf(tree.path("scan.pdf")), tree.path("sealed.pdf"), "user");
    const QStringList before = snapshot(tree.path());
    const std::pair<const char*, const char*> refusals[] = {
        {"-i missing.pdf -o locked.pdf -u user -e 256", "missing.pdf"},
        {"-i notes.txt -o locked.pdf -u user -e 256", "notes.txt"},
        {"-i sealed.pdf -o locked.pdf -u user -e 256", "password"},
        {"-i scan.pdf -o folder.pdf -u user -e 256", "folder.pdf"},  // written in full, refused at the rename
        {"-i scan.pdf -o locked.pdf -u user -e 64", "64"},
        {"-i scan.pdf -o locked.pdf -u \xE5\xAF\x86 -e 128", "-e 256"},  // beyond PDFDocEncoding
        {"-i scan.pdf -o locked.pdf -u user", "-e"},
        {"-i scan.pdf -o locked.pdf -u  -e 128", "-u"},
        {"-i scan.pdf -o locked.pdf -u user -e 128 -x 1", "-x"},
        {"-i scan.pdf -o locked.pdf -u user -e 128 -p", "-p"},
        {"-i scan.pdf -o locked.pdf -u user -e 128 -u other", "-u"}};
    for (const auto& [line, mentioned] : refusals) {
        QStringList arguments;
        for (const QString& argument : QString::fromUtf8(line).split(' '))
            arguments << (argument.contains('.') ? tree.path(argument) : argument);
        const auto result = runProcess(ENCRYPTPDF_PATH, arguments);
        EXPECT_GT(result.exitCode, 0) << line;  // refused, not crashed
        EXPECT_TRUE(result.err.count('\n') == 1 && result.err.endsWith('\n')) << result.err;
        EXPECT_TRUE(result.err.contains(mentioned)) << result.err;
        EXPECT_EQ(snapshot(tree.path()), before) << line;
    }
}

}  // namespace
}  // namespace dokivo::test
