#include "processing/NameRules.h"

#include "config/NumericText.h"
#include "platform/CharacterText.h"
#include "platform/DateText.h"
#include "platform/RunError.h"
#include "processing/SlotContext.h"

namespace dokivo {

using platform::characterCount;
using platform::leftCharacters;
using platform::midCharacters;
using platform::utf16Offset;

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
    if (characterCount(name) < rule.last)
        return false;
    if (rule.first < 1)
        throw platform::RunError(platform::errnum::InvalidCall, name);
    const QString shown = midCharacters(name, rule.first - 1, rule.last - rule.first + 1);
    return shown.compare(rule.code, Qt::CaseInsensitive) == 0;
}

qsizetype dotPosition(const QString& name) {
    const qsizetype at = name.lastIndexOf(QLatin1Char('.'));
    return at < 0 ? 0 : characterCount(QStringView(name).left(at)) + 1;
}

QString extensionAfterDot(const QString& name, qsizetype dot) {
    return midCharacters(name, dot);
}

QString extensionToken(const QString& name, qsizetype dot) {
    if (dot <= 1)
        return {};
    return QStringLiteral("||") + extensionAfterDot(name, dot) + QStringLiteral("||");
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
    const qsizetype fourth = utf16Offset(name, 3);
    if (characterCount(name) == 16 && name[fourth] == QLatin1Char('-') &&
        isNumericText(midCharacters(name, 4, 8)))
        name[fourth] = QLatin1Char('_');
    if (sihsit && name.startsWith(QLatin1String("ST-")) &&
        midCharacters(name, 16, 3) == QLatin1String("-BC")) {
        name[2] = QLatin1Char('_');
        name[utf16Offset(name, 16)] = QLatin1Char('_');
    }
    return name;
}

QString timeStampedName(const QString& destinationName, const QString& sourceName, qsizetype dot,
                        const QDateTime& created) {
    const QString base = dot > 0 ? leftCharacters(destinationName, dot - 1) : destinationName;
    return leftCharacters(base, 30) + QLatin1Char('_') +
           platform::formatDate(created, platform::DatePattern::YYMMDDHHSS) + QLatin1Char('.') +
           extensionAfterDot(sourceName, dot);
}

bool wantsTimeStampedName(const SlotContext& ctx) {
    return !ctx.abbin_value.isEmpty() || ctx.doclibero;
}

}  // namespace dokivo
