#pragma once

// The tests' one way to look into a PDF: libqpdf reads it as a strict reader would, and writes
// the samples that need a form the sample generator does not give.

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFWriter.hh>

#include <QString>
#include <memory>
#include <optional>

namespace dokivo::test {

// Warnings kept quiet but counted, and no repair: a wrong offset or length throws, as any failure
// does but one. Null when the password is refused.
inline std::unique_ptr<QPDF> openPdf(const QString& file, const std::optional<std::string>& password = {}) {
    auto pdf = std::make_unique<QPDF>();
    pdf->setSuppressWarnings(true);
    pdf->setAttemptRecovery(false);
    try {
        pdf->processFile(file.toStdString().c_str(), password ? password->c_str() : nullptr);
    } catch (const QPDFExc& error) {
        if (error.getErrorCode() == qpdf_e_password)
            return nullptr;
        throw;
    }
    return pdf;
}

// Writes `pdf` again as `out`, reading every object and stream as a full check does, with object
// streams (so with a cross-reference stream, no trailer) and AES-256 under `user` if given, who
// is the owner too unless `owner` is given.
inline void writeWithObjectStreams(QPDF& pdf, const QString& out, const char* user = nullptr,
                                   const char* owner = nullptr) {
    const std::string file = out.toStdString();  // the writer keeps the name, not a copy of it
    QPDFWriter writer(pdf, file.c_str());
    writer.setObjectStreamMode(qpdf_o_generate);
    if (user)
        writer.setR6EncryptionParameters(user, owner ? owner : user, true, true, true, true, true, true,
                                         qpdf_r3p_full, true);
    writer.write();
}

}  // namespace dokivo::test
