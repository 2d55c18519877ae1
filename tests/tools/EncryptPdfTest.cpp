// Runs the real encryptpdf.exe on generated scans and checks its output with libqpdf.
#include <gtest/gtest.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <QTemporaryDir>

#include "SamplePdf.h"
#include "support/ProcessRunner.h"

namespace dokivo::test {
namespace {

// Opens a PDF, warnings kept quiet but counted. Null when the password is refused; any other
// failure throws.
std::unique_ptr<QPDF> openPdf(const QString& file, const std::optional<std::string>& password = {}) {
    auto pdf = std::make_unique<QPDF>();
    pdf->setSuppressWarnings(true);
    try {
        pdf->processFile(file.toStdString().c_str(), password ? password->c_str() : nullptr);
    } catch (const QPDFExc& error) {
        if (error.getErrorCode() == qpdf_e_password)
            return nullptr;
        throw;
    }
    return pdf;
}

// The pages, and the pixels of the first image, decrypted and decompressed ("" without one).
std::pair<std::size_t, std::string> pagesAndFirstImage(QPDF& pdf) {
    auto pages = QPDFPageDocumentHelper(pdf).getAllPages();
    for (auto& page : pages)
        for (auto& [name, image] : page.getImages()) {
            const auto data = image.getStreamData();
            return {pages.size(), {reinterpret_cast<const char*>(data->getBuffer()), data->getSize()}};
        }
    return {pages.size(), {}};
}

// Objects, trailer and nothing else: no cross-reference table, no startxref. Readers rebuild it.
constexpr char kPdfWithoutXref[] =
    "%PDF-1.4\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n"
    "2 0 obj\n<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n"
    "3 0 obj\n<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>\nendobj\n"
    "trailer\n<< /Size 4 /Root 1 0 R >>\n%%EOF\n";

struct EncryptPdfTool : ::testing::Test {
    QString path(const QString& name) const { return dir.filePath(name); }
    QString write(const QString& name, const std::string& content) const {
        QDir().mkpath(QFileInfo(path(name)).path());
        QFile out(path(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly) && out.write(content.data(), qint64(content.size())) >= 0);
        return path(name);
    }
    QString writeScan(const QString& name) const {
        return write(name, samplepdf::makeSamplePdf(30000, 7, 3));
    }
    static ProcessResult encrypt(const QStringList& arguments) {
        return runProcess(ENCRYPTPDF_PATH, arguments);
    }
    // Every entry of the test folder, where outputs and their temporary files go, with what it holds.
    QStringList contents() const {
        QStringList found;
        for (const QFileInfo& entry :
             QDir(dir.path())
                 .entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name)) {
            QFile file(entry.filePath());
            found << entry.fileName() +
                         (file.open(QIODevice::ReadOnly) ? QString::number(qHash(file.readAll())) : "");
        }
        return found;
    }

    QTemporaryDir dir;
};

// A run that must succeed: the output opens with `opens` alone, as the user, at `bits` strength.
struct Encryption {
    const char* name;
    QString bits, user;          // as typed
    std::string opens, refused;  // as the format stores them: the password and a near miss
    QString input = QStringLiteral("scan.pdf");
    bool damaged = false;  // the input lacks its cross-reference table
    friend void PrintTo(const Encryption& c, std::ostream* out) { *out << c.name; }
};

// Revision, version, method and key bytes of each strength.
const std::map<QString, std::tuple<int, int, QPDF::encryption_method_e, std::size_t>> kStrengths{
    {"40", {2, 1, QPDF::e_rc4, 5}}, {"128", {4, 4, QPDF::e_aes, 16}}, {"256", {6, 5, QPDF::e_aesv3, 32}}};

struct EncryptPdfRun : EncryptPdfTool, ::testing::WithParamInterface<Encryption> {};

TEST_P(EncryptPdfRun, OutputOpensOnlyWithItsPasswordsAndKeepsThePages) {
    const Encryption& c = GetParam();
    const QString in = c.damaged ? write(c.input, kPdfWithoutXref) : writeScan(c.input);
    const QString folder = QFileInfo(in).path(), out = folder + "/locked scan.pdf",
                  owned = folder + "/owned.pdf";
    // Options in another order than the usage line's.
    ProcessResult r = encrypt({"-e", c.bits, "-o", out, "-u", c.user, "-i", in});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = encrypt({"-i", in, "-o", owned, "-u", c.user, "-e", c.bits, "-p", "owner secret"});
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
    const auto [pages, image] = pagesAndFirstImage(*pdf);
    EXPECT_EQ(pages, c.damaged ? 1u : 3u);
    EXPECT_TRUE(c.damaged || image == pagesAndFirstImage(*openPdf(in)).second) << "the scan's pixels changed";
    EXPECT_FALSE(pdf->anyWarnings());  // the copy is whole, even of a damaged input

    auto asOwner = openPdf(owned, "owner secret");
    ASSERT_NE(asOwner, nullptr);
    EXPECT_TRUE(asOwner->ownerPasswordMatched());
    EXPECT_EQ(openPdf(owned, "owner"), nullptr);

    // Up to AES-128 the owner hash follows from the two passwords alone: a second run without an
    // owner password may only give another one if the generated password is new for every run.
    const auto ownerHash = [&](const QString& file) {
        return openPdf(file, c.opens)->getTrailer().getKey("/Encrypt").getKey("/O").getStringValue();
    };
    ASSERT_EQ(encrypt({"-i", in, "-o", folder + "/again.pdf", "-u", c.user, "-e", c.bits}).exitCode, 0);
    EXPECT_TRUE(version > 4 || ownerHash(out) != ownerHash(folder + "/again.pdf"));
}

const std::string kUtf8 = "s\xC3\xBC\xC3\x9F", kPdfDoc = "s\xFC\xDF";  // "süß"

INSTANTIATE_TEST_SUITE_P(
    Runs, EncryptPdfRun,
    ::testing::Values(
        // The password is not cut at its blank.
        Encryption{"Bits40", "40", "user secret", "user secret", "user"},
        // Up to AES-128 a password is stored in PDFDocEncoding, from AES-256 on in UTF-8.
        Encryption{"NonAscii128", "128", QString::fromStdString(kUtf8), kPdfDoc, kUtf8},
        Encryption{"NonAscii256", "256", QString::fromStdString(kUtf8), kUtf8, kPdfDoc},
        Encryption{"BlanksAndNonAsciiInPathsAndPassword", "256", " lead and trail ", " lead and trail ",
                   "lead and trail", QString::fromUtf8("scansioni \xC3\xA8 \xC5\x82/scan 1.pdf")},
        Encryption{"DamagedInputRepaired", "256", "user", "user", "wrong", "bad.pdf", true}),
    [](const auto& info) { return std::string(info.param.name); });

// A command line that must be refused, and what its one-line message has to point at. Arguments
// are apart by one blank, so two blanks pass an empty one; capitals stand for files of the test
// folder: a sample scan, a text, a missing file, an output that exists already, an encrypted PDF,
// an empty folder, and a password beyond PDFDocEncoding.
struct Refusal {
    const char *name, *arguments, *mentioned;
    friend void PrintTo(const Refusal& r, std::ostream* out) { *out << r.name; }
};

struct EncryptPdfRefusal : EncryptPdfTool, ::testing::WithParamInterface<Refusal> {};

TEST_P(EncryptPdfRefusal, ExplainsInOneLineAndChangesNothing) {
    const QString in = writeScan("scan.pdf");
    ASSERT_EQ(encrypt({"-i", in, "-o", path("sealed.pdf"), "-u", "user", "-e", "256"}).exitCode, 0);
    const QMap<QString, QString> files{{"IN", in},
                                       {"TEXT", write("notes.txt", "shopping list\n")},
                                       {"MISSING", path("missing.pdf")},
                                       {"OUT", write("locked.pdf", "previous content")},
                                       {"SEALED", path("sealed.pdf")},
                                       {"FOLDER", path("folder.pdf")},
                                       {"CJK", QString::fromUtf8("\xE5\xAF\x86\xE7\xA0\x81")}};
    QDir().mkdir(path("folder.pdf"));
    QStringList arguments;
    for (const QString& argument : QString::fromUtf8(GetParam().arguments).split(' '))
        arguments << files.value(argument, argument);
    const QStringList before = contents();

    const auto result = encrypt(arguments);
    EXPECT_GT(result.exitCode, 0);  // refused, not crashed
    EXPECT_TRUE(result.err.count('\n') == 1 && result.err.endsWith('\n')) << result.err;
    EXPECT_TRUE(result.err.contains(GetParam().mentioned)) << result.err;
    EXPECT_EQ(contents(), before) << "no output, no temporary file, the old output as it was";
}

INSTANTIATE_TEST_SUITE_P(
    BadInputs, EncryptPdfRefusal,
    ::testing::Values(Refusal{"MissingInput", "-i MISSING -o OUT -u user -e 256", "missing.pdf"},
                      Refusal{"InputIsNotAPdf", "-i TEXT -o OUT -u user -e 256", "notes.txt"},
                      Refusal{"InputHasAPassword", "-i SEALED -o OUT -u user -e 256", "password"},
                      // Written in full, then refused at the final rename.
                      Refusal{"OutputIsAFolder", "-i IN -o FOLDER -u user -e 256", "folder.pdf"},
                      Refusal{"UnsupportedKeyLength", "-i IN -o OUT -u user -e 64", "64"},
                      Refusal{"PasswordBeyondPdfDocEncoding", "-i IN -o OUT -u CJK -e 128", "-e 256"},
                      Refusal{"NoKeyLength", "-i IN -o OUT -u user", "-e"},
                      Refusal{"EmptyUserPassword", "-i IN -o OUT -u  -e 128", "-u"},
                      Refusal{"UnknownOption", "-i IN -o OUT -u user -e 128 -x 1", "-x"},
                      Refusal{"OptionWithoutValue", "-i IN -o OUT -u user -e 128 -p", "-p"},
                      Refusal{"OptionTwice", "-i IN -o OUT -u user -e 128 -u other", "-u"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace dokivo::test
