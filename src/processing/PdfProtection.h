#pragma once

#include <QString>

namespace dokivo {

// Whether the PDF at `path` is password-protected: the dictionary of its last cross-reference
// section (the trailer, or the cross-reference stream's own dictionary) names an /Encrypt
// dictionary. Only the file's end and that dictionary are read. False for anything that cannot
// be read or is not laid out as a PDF.
bool isPasswordProtectedPdf(const QString& path);

}  // namespace dokivo
