#pragma once

#include <qpdf/QPDF.hh>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace dokivo::tests {

// Opens a PDF with libqpdf, warnings kept quiet but counted. Returns nullptr when the password
// is refused; any other failure throws.
std::unique_ptr<QPDF> openPdf(const std::filesystem::path& file,
                              const std::optional<std::string>& password = {});

// Pixels of the first image on the first page, decrypted and decompressed.
std::string firstImageData(QPDF& pdf);

std::string readFile(const std::filesystem::path& file);
void writeFile(const std::filesystem::path& file, const std::string& content);

}  // namespace dokivo::tests
