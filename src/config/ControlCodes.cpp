#include "scan/ControlCodes.h"

#include "scan/SlotContext.h"

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

void readControlCodes(SlotContext& ctx) {
    const QString& p = ctx.parameters;
    ctx.doclibero = p.contains(QLatin1String("DOCLIBERO"), Qt::CaseInsensitive);
    ctx.sololog = p.contains(QLatin1String("SOLOLOG"), Qt::CaseInsensitive);
    ctx.podsitir = p.contains(QLatin1String("PODSITIR"), Qt::CaseInsensitive);
    ctx.sihsit = p.contains(QLatin1String("SIHSIT"), Qt::CaseInsensitive);
    bool found = false;
    ctx.abbin_value = codeValue(p, QStringLiteral("ABBIN:"), &found);
    ctx.abbin = found;
    ctx.dircgd_value = codeValue(p, QStringLiteral("DIRCGD="));
}

}  // namespace dokivo
