#include "processing/SpecialKinds.h"

#include <QStringList>
#include <array>

#include "config/ControlCodes.h"
#include "config/NumericText.h"
#include "platform/CharacterText.h"

namespace dokivo {

namespace {

bool hasAcceptedPrefix(const QString& name, const QString& prefixes) {
    bool anyConfigured = false;
    for (const QString& entry : prefixes.split(QLatin1Char(';'))) {
        const QString prefix = entry.trimmed();
        if (prefix.isEmpty())
            continue;
        anyConfigured = true;
        if (name.startsWith(prefix))
            return true;
    }
    return !anyConfigured;
}

struct PodMarker {
    QString text;
    qsizetype digitsOffset;  // from the marker's first character to the type digits
};

bool isTypeDigits(const QString& text) {
    return text == QLatin1String("005") || text == QLatin1String("004") || text == QLatin1String("003");
}

}  // namespace

bool passesFormatoateneFilter(const QString& destinationName, const QString& formatMarker,
                              const QString& prefixes) {
    if (formatMarker != kFormatoateneMarker)
        return true;
    return platform::characterCount(destinationName) == 16 &&
           isNumericText(platform::midCharacters(destinationName, 4, 8)) &&
           hasAcceptedPrefix(platform::leftCharacters(destinationName, 4), prefixes);
}

PodsitirResult applyPodsitir(const QString& destinationName, const QString& extension) {
    // Each marker is looked for in the name as the markers before it left it; a name made by
    // the first two begins with "POD_" and its type digits, so the last one keeps it as it is.
    static const std::array<PodMarker, 3> markers{{
        {QStringLiteral("POD__"), 11},
        {QStringLiteral("Envio_n\u00BA___"), 11},
        {QStringLiteral("POD_"), 4},
    }};
    PodsitirResult result;
    QString name = destinationName;
    for (const PodMarker& marker : markers) {
        const qsizetype at = name.indexOf(marker.text);
        if (at < 0)
            continue;
        // The distance to the type digits counts characters, whatever stands between.
        const qsizetype digits = platform::characterCount(QStringView(name).left(at)) + marker.digitsOffset;
        if (!isTypeDigits(platform::midCharacters(name, digits, 3)))
            return {PodsitirResult::Kind::Rejected, {}};
        name =
            QStringLiteral("POD_") + platform::midCharacters(name, digits, 9) + QLatin1Char('.') + extension;
        result.kind = PodsitirResult::Kind::Renamed;
    }
    if (result.kind == PodsitirResult::Kind::Renamed)
        result.name = name;
    return result;
}

}  // namespace dokivo
