#pragma once

// What the tool tests read back: PDFs opened with libqpdf, and whole files.

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <QFile>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace dokivo::test {

// Opens a PDF, warnings kept quiet but counted. Null when the password is refused; any other
// failure throws.
inline std::unique_ptr<QPDF> openPdf(const QString& file, const std::optional<std::string>& password = {}) {
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

inline std::size_t pageCount(QPDF& pdf) {
    return QPDFPageDocumentHelper(pdf).getAllPages().size();
}

// Pixels of the first image on the first page, decrypted and decompressed.
inline std::string firstImageData(QPDF& pdf) {
    auto pages = QPDFPageDocumentHelper(pdf).getAllPages();
    auto images = pages.empty() ? std::map<std::string, QPDFObjectHandle>{} : pages.front().getImages();
    if (images.empty())
        throw std::runtime_error("no image on the first page");
    const auto data = images.begin()->second.getStreamData();
    return {reinterpret_cast<const char*>(data->getBuffer()), data->getSize()};
}

inline std::string readFile(const QString& file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + file.toStdString());
    return in.readAll().toStdString();
}

inline void writeFile(const QString& file, const std::string& content) {
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(content.data(), qint64(content.size())) != qint64(content.size()))
        throw std::runtime_error("cannot write " + file.toStdString());
}

}  // namespace dokivo::test
