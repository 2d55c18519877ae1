#include "processing/PdfProtection.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>

namespace dokivo {

bool isPasswordProtectedPdf(const QString& path) {
    QPDF pdf;
    pdf.setSuppressWarnings(true);  // a repaired file is the tool's to report
    try {
        // UTF-8 on every system: libqpdf opens such a name by its wide form on Windows.
        pdf.processFile(path.toUtf8().constData());
    } catch (const QPDFExc& failure) {
        return failure.getErrorCode() == qpdf_e_password;
    } catch (const std::exception&) {
        return false;  // unreadable: the tool says why
    }
    return false;
}

}  // namespace dokivo
