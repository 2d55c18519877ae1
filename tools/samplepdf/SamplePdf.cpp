#include "SamplePdf.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <vector>

namespace dokivo::samplepdf {

namespace {

constexpr int kPageWidth = 595;  // A4 in points
constexpr int kPageHeight = 842;

struct ImageSize {
    int width;
    int height;
};

// Portrait, A4 proportions, one byte per pixel, at most `bytes` pixels (but at least one).
ImageSize imageSizeFor(std::size_t bytes) {
    const double height = std::round(std::sqrt(double(bytes) * kPageHeight / kPageWidth));
    const int rows = std::max(1, int(height));
    return {std::max(1, int(bytes / std::size_t(rows))), rows};
}

// Paper-coloured noise crossed by bands of dark specks where lines of text would be. Only the
// raw generator output is used: unlike the standard distributions it is the same everywhere.
std::string scanPixels(ImageSize size, std::mt19937& random) {
    const int linePitch = std::max(4, size.height / 40);
    const int top = size.height / 10, bottom = size.height - top;
    std::string pixels;
    pixels.reserve(std::size_t(size.width) * std::size_t(size.height));
    for (int y = 0; y < size.height; ++y) {
        const bool inTextLine = y >= top && y < bottom && y % linePitch < linePitch / 2;
        for (int x = 0; x < size.width; ++x) {
            const std::uint32_t bits = random();
            const bool ink = inTextLine && (bits >> 8) % 3 == 0;
            pixels.push_back(char(ink ? (bits >> 16) % 80 : 215 + bits % 41));
        }
    }
    return pixels;
}

// Writes numbered objects and remembers where each starts, for the cross-reference table.
class PdfWriter {
  public:
    explicit PdfWriter(int objectCount) : offsets_(std::size_t(objectCount) + 1, 0) {
        // The binary comment tells transfer programs that the file is not text.
        out_ = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    }

    void object(int id, const std::string& body) {
        offsets_.at(std::size_t(id)) = out_.size();
        out_ += std::to_string(id) + " 0 obj\n" + body + "\nendobj\n";
    }

    void stream(int id, const std::string& dictionaryEntries, const std::string& data) {
        object(id, "<< " + dictionaryEntries + " /Length " + std::to_string(data.size()) + " >>\nstream\n" +
                       data + "\nendstream");
    }

    std::string finish(int rootId, int infoId) && {
        const std::size_t xrefOffset = out_.size();
        out_ += "xref\n0 " + std::to_string(offsets_.size()) + "\n0000000000 65535 f \n";
        for (std::size_t id = 1; id < offsets_.size(); ++id) {
            char entry[21];
            std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offsets_[id]);
            out_ += entry;
        }
        out_ += "trailer\n<< /Size " + std::to_string(offsets_.size()) + " /Root " + std::to_string(rootId) +
                " 0 R /Info " + std::to_string(infoId) + " 0 R >>\nstartxref\n" + std::to_string(xrefOffset) +
                "\n%%EOF\n";
        return std::move(out_);
    }

  private:
    std::string out_;
    std::vector<std::size_t> offsets_;
};

std::string buildPdf(const std::vector<ImageSize>& images, std::mt19937& random) {
    constexpr int kCatalog = 1, kPages = 2, kInfo = 3;
    const auto pageId = [](std::size_t page) { return 4 + 3 * int(page); };
    const auto ref = [](int id) { return std::to_string(id) + " 0 R"; };

    PdfWriter pdf(3 + 3 * int(images.size()));
    pdf.object(kCatalog, "<< /Type /Catalog /Pages " + ref(kPages) + " >>");
    std::string kids;
    for (std::size_t page = 0; page < images.size(); ++page)
        kids += ref(pageId(page)) + " ";
    pdf.object(kPages,
               "<< /Type /Pages /Kids [ " + kids + "] /Count " + std::to_string(images.size()) + " >>");
    pdf.object(kInfo, "<< /Title (Sample scan) /Producer (dokivo-samplepdf) >>");

    const std::string pageSize = std::to_string(kPageWidth) + " " + std::to_string(kPageHeight);
    for (std::size_t page = 0; page < images.size(); ++page) {
        const int id = pageId(page), contents = id + 1, image = id + 2;
        pdf.object(id, "<< /Type /Page /Parent " + ref(kPages) + " /MediaBox [0 0 " + pageSize +
                           "] /Resources << /XObject << /Scan " + ref(image) + " >> >> /Contents " +
                           ref(contents) + " >>");
        pdf.stream(
            contents, "",
            "q " + std::to_string(kPageWidth) + " 0 0 " + std::to_string(kPageHeight) + " 0 0 cm /Scan Do Q");
        const ImageSize size = images[page];
        pdf.stream(image,
                   "/Type /XObject /Subtype /Image /Width " + std::to_string(size.width) + " /Height " +
                       std::to_string(size.height) + " /ColorSpace /DeviceGray /BitsPerComponent 8",
                   scanPixels(size, random));
    }
    return std::move(pdf).finish(kCatalog, kInfo);
}

}  // namespace

std::string makeSamplePdf(std::size_t approxBytes, std::uint32_t seed, int pages) {
    if (pages < 1)
        throw std::invalid_argument("a sample PDF needs at least one page");
    std::mt19937 random(seed);

    // Measure the structure around one-pixel images, then give the pixels what is left.
    const std::size_t pageCount = std::size_t(pages);
    const std::size_t structure =
        buildPdf(std::vector<ImageSize>(pageCount, {1, 1}), random).size() - pageCount;
    const std::size_t pixelBudget = approxBytes > structure ? approxBytes - structure : 0;

    random.seed(seed);
    return buildPdf(std::vector<ImageSize>(pageCount, imageSizeFor(pixelBudget / pageCount)), random);
}

}  // namespace dokivo::samplepdf
