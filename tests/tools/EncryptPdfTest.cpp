// Runs the real encryptpdf.exe on generated scans and checks its output with libqpdf.
#include <gtest/gtest.h>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <QTemporaryDir>

#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "PdfInspection.h"
#include "RunProgram.h"
#include "SamplePdf.h"

namespace dokivo::tests {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kSamplePages = 3;

// Objects, trailer and nothing else: no cross-reference table, no startxref. Readers rebuild it.
constexpr char kPdfWithoutXref[] =
    "%PDF-1.4\n"
    "1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n"
    "2 0 obj\n<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n"
    "3 0 obj\n<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>\nendobj\n"
    "trailer\n<< /Size 4 /Root 1 0 R >>\n"
    "%%EOF\n";

std::size_t pageCount(QPDF& pdf) {
    return QPDFPageDocumentHelper(pdf).getAllPages().size();
}

// The owner-password hash of an RC4 or AES-128 file: the same passwords always give the same value.
std::string ownerHash(QPDF& pdf) {
    return pdf.getTrailer().getKey("/Encrypt").getKey("/O").getStringValue();
}

class EncryptPdfTool : public ::testing::Test {
  protected:
    fs::path path(const std::string& name) const { return fs::path(dir_.path().toStdString()) / name; }

    fs::path writeSample(const std::string& name) const {
        const fs::path file = path(name);
        fs::create_directories(file.parent_path());
        writeFile(file, samplepdf::makeSamplePdf(30000, 7, int(kSamplePages)));
        return file;
    }

    static ProgramResult encrypt(const std::vector<std::string>& arguments) {
        return runProgram(ENCRYPTPDF_PATH, arguments);
    }

    std::vector<std::string> folderContents() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path("")))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    QTemporaryDir dir_;
};

struct Strength {
    std::string bits;
    int revision;
    int version;
    QPDF::encryption_method_e method;
    std::size_t keyBytes;
};

void PrintTo(const Strength& strength, std::ostream* out) {
    *out << "-e " << strength.bits;
}

class EncryptPdfStrength : public EncryptPdfTool, public ::testing::WithParamInterface<Strength> {};

TEST_P(EncryptPdfStrength, OutputOpensOnlyWithTheUserPassword) {
    const fs::path in = writeSample("scan.pdf"), out = path("locked.pdf");
    // Options in another order than the usage line's.
    const auto result =
        encrypt({"-e", GetParam().bits, "-o", out.string(), "-u", "user secret", "-i", in.string()});
    ASSERT_EQ(result.exitCode, 0) << result.standardError;

    EXPECT_EQ(openPdf(out), nullptr);
    EXPECT_EQ(openPdf(out, "wrong"), nullptr);
    EXPECT_EQ(openPdf(out, "user"), nullptr);  // the password was not cut at the blank
    auto pdf = openPdf(out, "user secret");
    ASSERT_NE(pdf, nullptr);
    EXPECT_TRUE(pdf->userPasswordMatched());
    EXPECT_FALSE(pdf->ownerPasswordMatched());  // the generated owner password is another one

    int revision = 0, permissions = 0, version = 0;
    QPDF::encryption_method_e streams{}, strings{}, files{};
    ASSERT_TRUE(pdf->isEncrypted(revision, permissions, version, streams, strings, files));
    EXPECT_EQ(revision, GetParam().revision);
    EXPECT_EQ(version, GetParam().version);
    // Below V4 there are no crypt filters and libqpdf names no method: RC4 is implied.
    const auto effective = [&](QPDF::encryption_method_e method) {
        return version < 4 ? QPDF::e_rc4 : method;
    };
    EXPECT_EQ(effective(streams), GetParam().method);
    EXPECT_EQ(effective(strings), GetParam().method);
    EXPECT_EQ(pdf->getEncryptionKey().size(), GetParam().keyBytes);

    EXPECT_EQ(pageCount(*pdf), kSamplePages);
    EXPECT_TRUE(firstImageData(*pdf) == firstImageData(*openPdf(in))) << "the scan's pixels changed";
    EXPECT_FALSE(pdf->anyWarnings());
}

TEST_P(EncryptPdfStrength, OwnerPasswordFromTheCommandLineOpensAsOwner) {
    const fs::path in = writeSample("scan.pdf"), out = path("locked.pdf");
    const auto result = encrypt(
        {"-i", in.string(), "-o", out.string(), "-u", "user", "-e", GetParam().bits, "-p", "owner secret"});
    ASSERT_EQ(result.exitCode, 0) << result.standardError;

    auto asOwner = openPdf(out, "owner secret");
    ASSERT_NE(asOwner, nullptr);
    EXPECT_TRUE(asOwner->ownerPasswordMatched());
    auto asUser = openPdf(out, "user");
    ASSERT_NE(asUser, nullptr);
    EXPECT_FALSE(asUser->ownerPasswordMatched());
    EXPECT_EQ(openPdf(out, "owner"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(AllStrengths, EncryptPdfStrength,
                         ::testing::Values(Strength{"40", 2, 1, QPDF::e_rc4, 5},
                                           Strength{"128", 4, 4, QPDF::e_aes, 16},
                                           Strength{"256", 6, 5, QPDF::e_aesv3, 32}),
                         [](const auto& info) { return "Bits" + info.param.bits; });

TEST_F(EncryptPdfTool, GeneratedOwnerPasswordIsNewForEveryRun) {
    const fs::path in = writeSample("scan.pdf");
    const auto encryptTo = [&](const std::string& name, std::vector<std::string> extra) {
        std::vector<std::string> arguments{"-i", in.string(), "-o", path(name).string(),
                                           "-u", "user",      "-e", "128"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        EXPECT_EQ(encrypt(arguments).exitCode, 0);
        return ownerHash(*openPdf(path(name), "user"));
    };
    // Equal for an equal owner password, so a difference below can only come from the password.
    EXPECT_EQ(encryptTo("fixed1.pdf", {"-p", "owner"}), encryptTo("fixed2.pdf", {"-p", "owner"}));
    EXPECT_NE(encryptTo("random1.pdf", {}), encryptTo("random2.pdf", {}));
}

TEST_F(EncryptPdfTool, PathsAndPasswordsWithBlanksArePassedWhole) {
    const fs::path in = writeSample("my scans/scan 1.pdf"), out = path("my scans/locked scan.pdf");
    const std::string password = " lead and trail ";
    const auto result = encrypt({"-i", in.string(), "-o", out.string(), "-u", password, "-e", "256"});
    ASSERT_EQ(result.exitCode, 0) << result.standardError;

    EXPECT_EQ(openPdf(out, "lead and trail"), nullptr);
    auto pdf = openPdf(out, password);
    ASSERT_NE(pdf, nullptr);
    EXPECT_EQ(pageCount(*pdf), kSamplePages);
}

TEST_F(EncryptPdfTool, NonAsciiPasswordsAreStoredAsEachFormatExpects) {
    const fs::path in = writeSample("scan.pdf");
    const std::string utf8 = "s\xC3\xBC\xC3\x9F";  // "süß"
    const std::string pdfDocEncoded = "s\xFC\xDF";

    ASSERT_EQ(
        encrypt({"-i", in.string(), "-o", path("aes128.pdf").string(), "-u", utf8, "-e", "128"}).exitCode, 0);
    EXPECT_NE(openPdf(path("aes128.pdf"), pdfDocEncoded), nullptr);

    ASSERT_EQ(
        encrypt({"-i", in.string(), "-o", path("aes256.pdf").string(), "-u", utf8, "-e", "256"}).exitCode, 0);
    EXPECT_NE(openPdf(path("aes256.pdf"), utf8), nullptr);
}

TEST_F(EncryptPdfTool, DamagedInputIsRepairedAndEncrypted) {
    const fs::path in = path("damaged.pdf"), out = path("locked.pdf");
    writeFile(in, kPdfWithoutXref);
    const auto result = encrypt({"-i", in.string(), "-o", out.string(), "-u", "user", "-e", "256"});
    ASSERT_EQ(result.exitCode, 0) << result.standardError;

    EXPECT_EQ(openPdf(out), nullptr);
    auto pdf = openPdf(out, "user");
    ASSERT_NE(pdf, nullptr);
    EXPECT_TRUE(pdf->isEncrypted());
    EXPECT_EQ(pageCount(*pdf), 1u);
    EXPECT_FALSE(pdf->anyWarnings());  // the copy itself is whole
}

TEST_F(EncryptPdfTool, InputWithAPasswordIsRefused) {
    const fs::path in = writeSample("scan.pdf"), once = path("once.pdf"), twice = path("twice.pdf");
    ASSERT_EQ(encrypt({"-i", in.string(), "-o", once.string(), "-u", "user", "-e", "256"}).exitCode, 0);
    const auto result = encrypt({"-i", once.string(), "-o", twice.string(), "-u", "user", "-e", "256"});
    EXPECT_GT(result.exitCode, 0);
    EXPECT_NE(result.standardError.find("password"), std::string::npos) << result.standardError;
    EXPECT_FALSE(fs::exists(twice));
}

TEST_F(EncryptPdfTool, FailureLeavesAnExistingOutputAlone) {
    const fs::path in = path("notes.txt"), out = path("locked.pdf");
    writeFile(in, "shopping list\n");
    writeFile(out, "previous content");
    EXPECT_GT(encrypt({"-i", in.string(), "-o", out.string(), "-u", "user", "-e", "256"}).exitCode, 0);

    EXPECT_EQ(readFile(out), "previous content");
    EXPECT_EQ(folderContents(), (std::vector<std::string>{"locked.pdf", "notes.txt"}));
}

TEST_F(EncryptPdfTool, OutputThatCannotBeReplacedLeavesNoTemporaryFile) {
    const fs::path in = writeSample("scan.pdf"), out = path("locked.pdf");
    fs::create_directory(out);  // written in full, then refused at the final rename
    const auto result = encrypt({"-i", in.string(), "-o", out.string(), "-u", "user", "-e", "256"});
    EXPECT_GT(result.exitCode, 0);
    EXPECT_NE(result.standardError.find("locked.pdf"), std::string::npos) << result.standardError;

    EXPECT_TRUE(fs::is_empty(out));
    EXPECT_EQ(folderContents(), (std::vector<std::string>{"locked.pdf", "scan.pdf"}));
}

// A command line that must be refused. IN, TEXT, MISSING and OUT stand for files in the test folder.
struct Refusal {
    std::string name;
    std::vector<std::string> arguments;
    std::string mentioned;  // what the message has to point at
};

void PrintTo(const Refusal& refusal, std::ostream* out) {
    *out << refusal.name;
}

class EncryptPdfRefusal : public EncryptPdfTool, public ::testing::WithParamInterface<Refusal> {};

TEST_P(EncryptPdfRefusal, ExplainsInOneLineAndWritesNothing) {
    const fs::path in = writeSample("scan.pdf"), text = path("notes.txt");
    writeFile(text, "shopping list\n");
    const std::map<std::string, std::string> files{{"IN", in.string()},
                                                   {"TEXT", text.string()},
                                                   {"MISSING", path("missing.pdf").string()},
                                                   {"OUT", path("locked.pdf").string()}};
    std::vector<std::string> arguments;
    for (const std::string& argument : GetParam().arguments)
        arguments.push_back(files.contains(argument) ? files.at(argument) : argument);

    const auto result = encrypt(arguments);
    EXPECT_GT(result.exitCode, 0);  // refused, not crashed
    EXPECT_EQ(std::count(result.standardError.begin(), result.standardError.end(), '\n'), 1)
        << result.standardError;
    EXPECT_TRUE(result.standardError.ends_with("\n"));
    EXPECT_NE(result.standardError.find(GetParam().mentioned), std::string::npos) << result.standardError;
    EXPECT_EQ(folderContents(), (std::vector<std::string>{"notes.txt", "scan.pdf"}));
}

INSTANTIATE_TEST_SUITE_P(
    BadInputs, EncryptPdfRefusal,
    ::testing::Values(
        Refusal{"MissingInput", {"-i", "MISSING", "-o", "OUT", "-u", "user", "-e", "256"}, "missing.pdf"},
        Refusal{"InputIsNotAPdf", {"-i", "TEXT", "-o", "OUT", "-u", "user", "-e", "256"}, "notes.txt"},
        Refusal{"UnsupportedKeyLength", {"-i", "IN", "-o", "OUT", "-u", "user", "-e", "64"}, "64"},
        Refusal{"PasswordBeyondPdfDocEncoding",
                {"-i", "IN", "-o", "OUT", "-u", "\xE5\xAF\x86\xE7\xA0\x81", "-e", "128"},
                "-e 256"},
        Refusal{"NoKeyLength", {"-i", "IN", "-o", "OUT", "-u", "user"}, "-e"},
        Refusal{"NoUserPassword", {"-i", "IN", "-o", "OUT", "-e", "128"}, "-u"},
        Refusal{"EmptyUserPassword", {"-i", "IN", "-o", "OUT", "-u", "", "-e", "128"}, "-u"},
        Refusal{"NoOutput", {"-i", "IN", "-u", "user", "-e", "128"}, "-o"},
        Refusal{"UnknownOption", {"-i", "IN", "-o", "OUT", "-u", "user", "-e", "128", "-x", "1"}, "-x"},
        Refusal{"OptionWithoutValue", {"-i", "IN", "-o", "OUT", "-u", "user", "-e", "128", "-p"}, "-p"},
        Refusal{"OptionTwice", {"-i", "IN", "-o", "OUT", "-u", "user", "-e", "128", "-u", "other"}, "-u"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace dokivo::tests
