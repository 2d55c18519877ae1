#include "PdfInspection.h"

#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace dokivo::tests {

std::unique_ptr<QPDF> openPdf(const std::filesystem::path& file, const std::optional<std::string>& password) {
    auto pdf = std::make_unique<QPDF>();
    pdf->setSuppressWarnings(true);
    try {
        pdf->processFile(file.string().c_str(), password ? password->c_str() : nullptr);
    } catch (const QPDFExc& error) {
        if (error.getErrorCode() == qpdf_e_password)
            return nullptr;
        throw;
    }
    return pdf;
}

std::string firstImageData(QPDF& pdf) {
    auto pages = QPDFPageDocumentHelper(pdf).getAllPages();
    if (pages.empty())
        throw std::runtime_error("no pages");
    auto images = pages.front().getImages();
    if (images.empty())
        throw std::runtime_error("no image on the first page");
    const auto data = images.begin()->second.getStreamData();
    return {reinterpret_cast<const char*>(data->getBuffer()), data->getSize()};
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::filesystem::path& file, const std::string& content) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

}  // namespace dokivo::tests
