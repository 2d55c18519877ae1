// Sample scans must be PDFs that libqpdf reads without repairing anything.
#include <qpdf/QPDFPageDocumentHelper.hh>

#include "SamplePdf.h"
#include "support/PdfInspection.h"
#include "support/ProcessRunner.h"
#include "support/TestSupport.h"

namespace dokivo::test {
namespace {

using samplepdf::makeSamplePdf;

// The program writes what the library makes, in another process: the bytes follow from the seed
// alone. It must open without a repair and be copied whole: every object and stream read, as a
// full check does.
TEST(SamplePdf, ProgramWritesAWellFormedPdfOfAboutTheRequestedSizeAndRefusesBadNumbers) {
    TempTree tree;
    for (const auto& [bytes, pages] : {std::pair<std::size_t, int>{5000, 3}, {50000, 12}, {1'000'000, 4}}) {
        SCOPED_TRACE(std::to_string(bytes) + " bytes, " + std::to_string(pages) + " pages");
        const QString file = tree.path("sample scan.pdf");
        const auto result = runProcess(SAMPLEPDF_PATH, {"--pages", QString::number(pages), file, "--seed",
                                                        "42", "--bytes", QString::number(bytes)});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const std::string sample = makeSamplePdf(bytes, 42, pages);
        EXPECT_TRUE(tree.read("sample scan.pdf").toStdString() == sample);  // compared whole, not printed
        EXPECT_NEAR(double(sample.size()), double(bytes), 0.10 * double(bytes));
        auto pdf = openPdf(file);
        auto pageList = QPDFPageDocumentHelper(*pdf).getAllPages();
        ASSERT_EQ(pageList.size(), std::size_t(pages));
        for (auto& page : pageList) {
            auto images = page.getImages();
            ASSERT_EQ(images.size(), 1u);
            QPDFObjectHandle scan = images.begin()->second, dict = scan.getDict();
            EXPECT_EQ(scan.getRawStreamData()->getSize(),
                      dict.getKey("/Width").getUIntValue() * dict.getKey("/Height").getUIntValue());
        }
        writeWithObjectStreams(*pdf, tree.path("copy.pdf"));
        EXPECT_FALSE(pdf->anyWarnings());
    }
    const std::string first = makeSamplePdf(20000, 5, 2), otherSeed = makeSamplePdf(20000, 6, 2);
    EXPECT_TRUE(otherSeed.size() == first.size() && otherSeed != first) << "the same layout, other pixels";

    for (const char* option : {"--bytes", "--pages", "--seed"})
        for (const char* value : {"0x10", "-3", "many"})
            EXPECT_GT(runProcess(SAMPLEPDF_PATH, {tree.path("refused.pdf"), option, value}).exitCode, 0)
                << option << " " << value;
    EXPECT_GT(runProcess(SAMPLEPDF_PATH, {tree.path("refused.pdf"), "--pages", "0"}).exitCode, 0);
    EXPECT_FALSE(tree.exists("refused.pdf"));
}

}  // namespace
}  // namespace dokivo::test
