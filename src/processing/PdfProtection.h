#pragma once

#include <QString>

namespace dokivo {

// Whether the PDF at `path` cannot be opened without a password: libqpdf, reading it as the
// encryption tool does, refuses the empty password. A PDF whose encryption only restricts its
// use (an owner password alone) opens without one and is not protected; neither is anything
// that cannot be read or is no PDF.
bool isPasswordProtectedPdf(const QString& path);

}  // namespace dokivo
