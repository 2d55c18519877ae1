#include "config/ControlCodes.h"

namespace dokivo {

QString codeValue(const QString& parameters, const QString& code, bool* found) {
    const qsizetype at = parameters.indexOf(code, 0, Qt::CaseInsensitive);
    if (found)
        *found = at >= 0;
    if (at < 0)
        return {};
    const qsizetype start = at + code.size();
    const qsizetype end = parameters.indexOf(QLatin1Char(';'), start);
    return end < 0 ? parameters.mid(start) : parameters.mid(start, end - start);
}

ControlCodes readControlCodes(const QString& p) {
    ControlCodes codes;
    codes.doclibero = p.contains(QLatin1String("DOCLIBERO"), Qt::CaseInsensitive);
    codes.sololog = p.contains(QLatin1String("SOLOLOG"), Qt::CaseInsensitive);
    codes.podsitir = p.contains(QLatin1String("PODSITIR"), Qt::CaseInsensitive);
    codes.sihsit = p.contains(QLatin1String("SIHSIT"), Qt::CaseInsensitive);
    codes.abbin_value = codeValue(p, QStringLiteral("ABBIN:"));
    codes.dircgd_value = codeValue(p, QStringLiteral("DIRCGD="));
    return codes;
}

}  // namespace dokivo
