// Sample scans must be PDFs that libqpdf reads without repairing anything.
#include <gtest/gtest.h>
#include <qpdf/Pl_Discard.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <QTemporaryDir>

#include "SamplePdf.h"
#include "support/ProcessRunner.h"

namespace dokivo::test {
namespace {

using samplepdf::makeSamplePdf;

TEST(SamplePdf, IsAWellFormedPdfOfAboutTheRequestedSizeAndItsBytesDependOnlyOnTheSeed) {
    for (const auto& [bytes, pages] : {std::pair<std::size_t, int>{5000, 3}, {50000, 12}, {1'000'000, 4}}) {
        SCOPED_TRACE(std::to_string(bytes) + " bytes, " + std::to_string(pages) + " pages");
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
            QPDFObjectHandle dict = images.begin()->second.getDict();
            EXPECT_EQ(
                images.begin()->second.getRawStreamData()->getSize(),
                std::size_t(dict.getKey("/Width").getIntValue() * dict.getKey("/Height").getIntValue()));
        }
        Pl_Discard discard;  // writing a copy reads every object and stream, as a full check does
        QPDFWriter writer(pdf);
        writer.setOutputPipeline(&discard);
        writer.write();
        EXPECT_FALSE(pdf.anyWarnings());
    }
    const std::string first = makeSamplePdf(20000, 5, 2), otherSeed = makeSamplePdf(20000, 6, 2);
    EXPECT_TRUE(makeSamplePdf(20000, 5, 2) == first);  // compared whole, not printed
    EXPECT_TRUE(otherSeed.size() == first.size() && otherSeed != first) << "the same layout, other pixels";
}

TEST(SamplePdfProgram, WritesWhatTheLibraryMakesAndRefusesBadNumbers) {
    QTemporaryDir dir;
    const QString out = dir.filePath("sample scan.pdf");
    const auto result = runProcess(SAMPLEPDF_PATH, {"--pages", "2", out, "--seed", "9", "--bytes", "12345"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    QFile written(out);
    EXPECT_TRUE(written.open(QIODevice::ReadOnly) &&
                written.readAll().toStdString() == makeSamplePdf(12345, 9, 2));

    const QString refused = dir.filePath("refused.pdf");
    for (const char* option : {"--bytes", "--pages", "--seed"})
        for (const char* value : {"0x10", "-3", "many"})
            EXPECT_GT(runProcess(SAMPLEPDF_PATH, {refused, option, value}).exitCode, 0)
                << option << " " << value;
    EXPECT_GT(runProcess(SAMPLEPDF_PATH, {refused, "--pages", "0"}).exitCode, 0);
    EXPECT_FALSE(QFile::exists(refused));
}

}  // namespace
}  // namespace dokivo::test
