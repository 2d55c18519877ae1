// The destination-name rules on any name: no failure, blanks never survive, the name keeps its
// length and its extension, no cut splits a character, and nothing turns a plain name into a path.

#include "FuzzInput.h"
#include "platform/RunError.h"
#include "processing/NameRules.h"
#include "processing/SlotContext.h"
#include "processing/SpecialKinds.h"

using namespace dokivo;

FUZZ_TARGET {
    const bool sihsit = in.byte() & 1;
    SlotContext ctx;
    ctx.inizio_car_controllo = QString::number(in.byte() % 40);
    ctx.fine_car_controllo = QString::number(in.byte() % 40);
    const qint64 seconds = in.seconds();
    const QString extensions = in.text();
    ctx.car_controllo = in.text();
    const QString prefixes = in.text(), name = in.text();
    const auto slashes = [](const QString& s) { return s.count('/'); };
    try {
        passesControlRule(decideControlRule(ctx), name);
    } catch (const platform::RunError& e) {
        FUZZ_CHECK(e.number() == platform::errnum::InvalidCall);
    }

    const qsizetype dot = dotPosition(name);
    FUZZ_CHECK(dot >= 0 && dot <= name.size());
    const QString destination = baseDestinationName(name, sihsit);
    FUZZ_CHECK(destination.size() == name.size() && !destination.contains(' '));
    FUZZ_CHECK(slashes(destination) == slashes(name) && dotPosition(destination) == dot);

    if (!acceptedByExtension(name, dot, extensionToken(name, dot), extensions))
        return;  // the pass stops here: only accepted names (with a dot) get the later forms
    const QString extension = extensionAfterDot(name, dot);
    const QString stamped = timeStampedName(destination, name, dot, QDateTime::fromSecsSinceEpoch(seconds));
    FUZZ_CHECK(stamped.endsWith('.' + extension) && slashes(stamped) <= slashes(name));
    FUZZ_CHECK(!name.isValidUtf16() || stamped.isValidUtf16());  // no cut splits a character

    passesFormatoateneFilter(destination, QStringLiteral("FORMATOATENE"), prefixes);
    const PodsitirResult pod = applyPodsitir(destination, extension);
    if (pod.kind == PodsitirResult::Kind::Renamed)
        FUZZ_CHECK(slashes(pod.name) <= slashes(destination) &&
                   (!destination.isValidUtf16() || pod.name.isValidUtf16()));
}
