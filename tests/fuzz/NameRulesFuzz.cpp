// The destination-name rules on any name: no failure, blanks never survive, the name keeps its
// length and its extension, no cut splits a character, and nothing turns a plain name into a path.

#include "FuzzInput.h"
#include "platform/RunError.h"
#include "processing/NameRules.h"
#include "processing/SlotContext.h"
#include "processing/SpecialKinds.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    dokivo::fuzz::FuzzInput in(data, size);
    const bool sihsit = in.flag();
    const int first = in.byte() % 40;
    const int last = in.byte() % 40;
    const qint64 seconds = in.seconds();
    const QString extensions = in.text();
    const QString code = in.text();
    const QString prefixes = in.text();
    const QString name = in.text();

    dokivo::SlotContext ctx;
    ctx.inizio_car_controllo = QString::number(first);
    ctx.fine_car_controllo = QString::number(last);
    ctx.car_controllo = code;
    const dokivo::ControlRule rule = dokivo::decideControlRule(ctx);
    try {
        dokivo::passesControlRule(rule, name);
    } catch (const dokivo::platform::RunError& e) {
        FUZZ_CHECK(e.number() == dokivo::platform::errnum::InvalidCall);
    }

    const qsizetype dot = dokivo::dotPosition(name);
    FUZZ_CHECK(dot >= 0 && dot <= name.size());
    const QString token = dokivo::extensionToken(name, dot);

    const QString destination = dokivo::baseDestinationName(name, sihsit);
    FUZZ_CHECK(destination.size() == name.size());
    FUZZ_CHECK(!destination.contains(QLatin1Char(' ')));
    FUZZ_CHECK(destination.count(QLatin1Char('/')) == name.count(QLatin1Char('/')));
    FUZZ_CHECK(dokivo::dotPosition(destination) == dot);

    if (!dokivo::acceptedByExtension(name, dot, token, extensions))
        return 0;  // the pass stops here: only accepted names (with a dot) get the later forms
    const QString stamped =
        dokivo::timeStampedName(destination, name, dot, QDateTime::fromSecsSinceEpoch(seconds));
    FUZZ_CHECK(stamped.endsWith(QLatin1Char('.') + dokivo::extensionAfterDot(name, dot)));
    FUZZ_CHECK(stamped.count(QLatin1Char('/')) <= name.count(QLatin1Char('/')));
    FUZZ_CHECK(!name.isValidUtf16() || stamped.isValidUtf16());  // no cut splits a character

    dokivo::passesFormatoateneFilter(destination, QStringLiteral("FORMATOATENE"), prefixes);
    const dokivo::PodsitirResult pod =
        dokivo::applyPodsitir(destination, dokivo::extensionAfterDot(name, dot));
    if (pod.kind == dokivo::PodsitirResult::Kind::Renamed) {
        FUZZ_CHECK(pod.name.count(QLatin1Char('/')) <= destination.count(QLatin1Char('/')));
        FUZZ_CHECK(!destination.isValidUtf16() || pod.name.isValidUtf16());
    }
    return 0;
}
