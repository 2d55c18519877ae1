// Sample scans must be PDFs that libqpdf reads without repairing anything.
#include <gtest/gtest.h>
#include <qpdf/Pl_Discard.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <QTemporaryDir>

#include <filesystem>
#include <ostream>
#include <stdexcept>
#include <string>

#include "PdfInspection.h"
#include "RunProgram.h"
#include "SamplePdf.h"

namespace dokivo::tests {
namespace {

using samplepdf::makeSamplePdf;

struct SampleRequest {
    std::size_t bytes;
    int pages;
};

void PrintTo(const SampleRequest& request, std::ostream* out) {
    *out << request.bytes << " bytes, " << request.pages << " pages";
}

class SamplePdfRequest : public ::testing::TestWithParam<SampleRequest> {};

TEST_P(SamplePdfRequest, IsAWellFormedPdfOfAboutTheRequestedSize) {
    const auto [bytes, pages] = GetParam();
    const std::string sample = makeSamplePdf(bytes, 42, pages);
    EXPECT_NEAR(double(sample.size()), double(bytes), 0.10 * double(bytes));

    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.setAttemptRecovery(false);  // a wrong offset or length must fail here, not be mended
    pdf.processMemoryFile("sample.pdf", sample.data(), sample.size());
    auto pageList = QPDFPageDocumentHelper(pdf).getAllPages();
    ASSERT_EQ(pageList.size(), std::size_t(pages));
    for (auto& page : pageList) {
        auto images = page.getImages();
        ASSERT_EQ(images.size(), 1u);
        QPDFObjectHandle image = images.begin()->second;
        const long long width = image.getDict().getKey("/Width").getIntValue();
        const long long height = image.getDict().getKey("/Height").getIntValue();
        EXPECT_EQ(image.getRawStreamData()->getSize(), std::size_t(width * height));
    }
    // Writing a copy reads every object and stream, as a full check does.
    Pl_Discard discard;
    QPDFWriter writer(pdf);
    writer.setOutputPipeline(&discard);
    writer.write();
    EXPECT_FALSE(pdf.anyWarnings());
}

INSTANTIATE_TEST_SUITE_P(Sizes, SamplePdfRequest,
                         ::testing::Values(SampleRequest{20000, 1}, SampleRequest{5000, 3},
                                           SampleRequest{50000, 12}, SampleRequest{1'000'000, 4}),
                         [](const auto& info) {
                             return std::to_string(info.param.bytes) + "Bytes" +
                                    std::to_string(info.param.pages) + "Pages";
                         });

TEST(SamplePdf, BytesDependOnlyOnTheSeed) {
    const std::string first = makeSamplePdf(20000, 5, 2);
    EXPECT_TRUE(makeSamplePdf(20000, 5, 2) == first);  // compared whole, not printed
    const std::string otherSeed = makeSamplePdf(20000, 6, 2);
    EXPECT_EQ(otherSeed.size(), first.size());  // same layout, so only the pixels can differ
    EXPECT_TRUE(otherSeed != first);
}

TEST(SamplePdf, RefusesADocumentWithoutPages) {
    EXPECT_THROW(makeSamplePdf(1000, 1, 0), std::invalid_argument);
}

TEST(SamplePdfProgram, WritesWhatTheLibraryMakes) {
    QTemporaryDir dir;
    const std::filesystem::path out = std::filesystem::path(dir.path().toStdString()) / "sample scan.pdf";

    auto result =
        runProgram(SAMPLEPDF_PATH, {"--pages", "2", out.string(), "--seed", "9", "--bytes", "12345"});
    ASSERT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_TRUE(readFile(out) == makeSamplePdf(12345, 9, 2));

    result = runProgram(SAMPLEPDF_PATH, {out.string()});
    ASSERT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_TRUE(readFile(out) == makeSamplePdf(20000, 1, 1));  // documented defaults
}

TEST(SamplePdfProgram, RefusesBadNumbersWithoutWriting) {
    QTemporaryDir dir;
    const std::filesystem::path out = std::filesystem::path(dir.path().toStdString()) / "sample.pdf";
    for (const char* option : {"--bytes", "--pages", "--seed"}) {
        for (const char* value : {"0x10", "-3", "many"}) {
            EXPECT_GT(runProgram(SAMPLEPDF_PATH, {out.string(), option, value}).exitCode, 0)
                << option << " " << value;
        }
    }
    EXPECT_GT(runProgram(SAMPLEPDF_PATH, {out.string(), "--pages", "0"}).exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
}  // namespace dokivo::tests
