#include "processing/NameRules.h"

#include "app/NumericText.h"
#include "platform/DateText.h"
#include "platform/RunError.h"
#include "scan/SlotContext.h"

namespace dokivo {

ControlRule decideControlRule(const SlotContext& ctx) {
    ControlRule rule;
    if (ctx.inizio_car_controllo.isEmpty() || ctx.fine_car_controllo.isEmpty() || ctx.car_controllo.isEmpty())
        return rule;
    const auto first = integerPart(ctx.inizio_car_controllo);
    const auto last = integerPart(ctx.fine_car_controllo);
    if (!first || !last || *last < *first)
        return rule;
    rule.active = true;
    rule.first = *first;
    rule.last = *last;
    rule.code = ctx.car_controllo;
    return rule;
}

bool passesControlRule(const ControlRule& rule, const QString& name) {
    if (!rule.active)
        return true;
    if (name.size() < rule.last)
        return false;
    if (rule.first < 1)
        throw platform::RunError(platform::errnum::InvalidCall, name);
    const QString shown = name.mid(rule.first - 1, rule.last - rule.first + 1);
    return shown.compare(rule.code, Qt::CaseInsensitive) == 0;
}

qsizetype dotPosition(const QString& name) {
    return name.lastIndexOf(QLatin1Char('.')) + 1;
}

QString extensionToken(const QString& name, qsizetype dot) {
    if (dot <= 1)
        return {};
    return QStringLiteral("||") + name.mid(dot) + QStringLiteral("||");
}

bool acceptedByExtension(const QString& name, qsizetype dot, const QString& token,
                         const QString& extensionList) {
    if (dot <= 0)
        return false;
    const bool listed = !extensionList.isEmpty() && extensionList.contains(token, Qt::CaseInsensitive);
    return listed || name.right(4).compare(QLatin1String(".PDF"), Qt::CaseInsensitive) == 0;
}

QString baseDestinationName(const QString& sourceName, bool sihsit) {
    QString name = sourceName;
    name.replace(QLatin1Char(' '), QLatin1Char('_'));
    if (name.size() == 16 && name[3] == QLatin1Char('-') && isNumericText(name.mid(4, 8)))
        name[3] = QLatin1Char('_');
    if (sihsit && name.startsWith(QLatin1String("ST-")) && name.mid(16, 3) == QLatin1String("-BC")) {
        name[2] = QLatin1Char('_');
        name[16] = QLatin1Char('_');
    }
    return name;
}

QString timeStampedName(const QString& destinationName, const QString& sourceName, qsizetype dot,
                        const QDateTime& created) {
    const QString base = dot > 0 ? destinationName.left(dot - 1) : destinationName;
    return base.left(30) + QLatin1Char('_') +
           platform::formatDate(created, platform::DatePattern::YYMMDDHHSS) + QLatin1Char('.') +
           sourceName.mid(dot);
}

bool wantsTimeStampedName(const SlotContext& ctx) {
    return !ctx.abbin_value.isEmpty() || ctx.doclibero;
}

}  // namespace dokivo
