// Pinned examples of the name rules; the fuzz target holds their properties on any name, and the
// folder pass scenarios the common cases.

#include "platform/RunError.h"
#include "processing/NameRules.h"
#include "processing/SlotContext.h"
#include "processing/SpecialKinds.h"
#include "support/TestSupport.h"

using namespace dokivo;

namespace {

// A character outside the Basic Multilingual Plane: two UTF-16 units, one character.
const QString kEmoji = QString::fromUtf8("\xF0\x9F\x98\x80");

// What a rule, with its settings after a blank, gives for a name:
//   "control FIRST|LAST|CODE"  yes, no, or error for a bad call
//   "extension LIST"           the dot position, then yes or no
//   "name", "sihsit"           the destination name in a plain or a SIHSIT slot
//   "pod"                      the POD name, rejected or none (no marker)
//   "atene PREFIXES"           yes or no in a FORMATOATENE slot
//   "doclibero"                the name in a DOCLIBERO slot, for a file made 5 March 2024 14:07:09
QString apply(const QString& rule, const QString& name) {
    const QString kind = rule.section(' ', 0, 0), settings = rule.section(' ', 1);
    const auto yes = [](bool passes) { return QString(passes ? "yes" : "no"); };
    if (kind == "control") {
        SlotContext ctx;
        ctx.inizio_car_controllo = settings.section('|', 0, 0);
        ctx.fine_car_controllo = settings.section('|', 1, 1);
        ctx.car_controllo = settings.section('|', 2);
        try {
            return yes(passesControlRule(decideControlRule(ctx), name));
        } catch (const platform::RunError&) {
            return "error";
        }
    }
    if (kind == "extension") {
        const qsizetype dot = dotPosition(name);
        return QString::number(dot) + ' ' +
               yes(acceptedByExtension(name, dot, extensionToken(name, dot), settings));
    }
    if (kind == "name" || kind == "sihsit")
        return baseDestinationName(name, kind == "sihsit");
    if (kind == "pod") {
        const PodsitirResult pod = applyPodsitir(name, name.section('.', -1));
        return pod.kind == PodsitirResult::Kind::Renamed    ? pod.name
               : pod.kind == PodsitirResult::Kind::Rejected ? "rejected"
                                                            : "none";
    }
    if (kind == "doclibero") {
        SlotContext ctx;
        ctx.doclibero = true;
        const QDateTime created(QDate(2024, 3, 5), QTime(14, 7, 9));
        return wantsTimeStampedName(ctx) ? timeStampedName(name, name, dotPosition(name), created) : name;
    }
    return yes(passesFormatoateneFilter(name, "FORMATOATENE", settings));
}

}  // namespace

TEST(NameRules, GiveWhatTheyShouldCountingCharactersNotBytesOrUnits) {
    const QString envio = QString::fromUtf8("Envio_n\u00BA___");
    const std::tuple<const char*, QString, QString> rows[] = {
        {"control 3|5|abc", "1234", "no"},                 // shorter than the last position
        {"control  3.7 |5|abc", "12abc", "yes"},           // integer parts, any letter case
        {"control 3|5|abc", kEmoji + "2ABC9.pdf", "yes"},  // positions count characters
        {"control 3|5|234", kEmoji + "234", "no"},         // four characters
        {"control 5|3|x", "anything.pdf", "yes"},          // inactive rules let everything by
        {"control a|5|x", "anything.pdf", "yes"},
        {"control 1|5|", "anything.pdf", "yes"},
        {"control 0|2|ab", "a", "no"},  // too short: refused before the bad first position counts
        {"control 0|2|ab", "abc.pdf", "error"},
        {"extension ||Tif||", "report.tif", "7 yes"},  // by the last dot counted from one
        {"extension ||TIF||", "report.tiff", "7 no"},
        {"extension ", ".pdf", "1 yes"},         // no token, but it ends in .PDF
        {"extension ||PDF||", ".tif", "1 yes"},  // no token, and the empty one is in any non-empty list
        {"extension ||TIF||", "a.b.tif", "4 yes"},
        {"extension ", kEmoji + " scan.pdf", "7 yes"},
        {"name", "ABC-1234567X.pdf", "ABC-1234567X.pdf"},
        {"name", "ABCD-1234567.pdf", "ABCD-1234567.pdf"},
        {"name", kEmoji + "BC-12345678.pdf", kEmoji + "BC_12345678.pdf"},  // the dash forms lose their dashes
        {"name", "ST-0001234567890-BC.pdf", "ST-0001234567890-BC.pdf"},    // only in SIHSIT slots
        {"sihsit", "st-0001234567890-BC.pdf", "st-0001234567890-BC.pdf"},
        {"sihsit", "ST-0001234567890-bc.pdf", "ST-0001234567890-bc.pdf"},
        {"sihsit", "ST-" + kEmoji + "001234567890-BC.pdf", "ST_" + kEmoji + "001234567890_BC.pdf"},
        {"pod", "scan_POD_004111222333.pdf", "POD_004111222.pdf"},  // what precedes is dropped
        // "º" and "ñ" take two bytes in UTF-8, an emoji two UTF-16 units: one character each.
        {"pod", QString::fromUtf8("Mañana_") + envio + "003555666777.pdf", "POD_003555666.pdf"},
        {"pod", kEmoji + "POD__AB" + kEmoji + "DEF005123456.pdf", "POD_005123456.pdf"},
        {"pod", QString::fromUtf8("envio_nº___004987654321.pdf"), "none"},  // markers are case-sensitive
        {"atene ", "ABCD1234567.pdf", "no"},
        {"atene ", "ABCD123456789.pdf", "no"},
        {"atene ", kEmoji + "BCD12345678.tif", "yes"},
        {"atene ABCD; WXYZ;", "WXYZ12345678.pdf", "yes"},
        {"atene ABCD; WXYZ;", "abcd12345678.pdf", "no"},
        {"doclibero", QString(40, 'x') + ".PDF", QString(30, 'x') + "_2403051409.PDF"},  // the base cut to 30
        // the 30th character is an emoji: it is kept whole, never cut in half
        {"doclibero", QString(29, 'x') + kEmoji + "yz." + kEmoji,
         QString(29, 'x') + kEmoji + "_2403051409." + kEmoji},
    };
    for (const auto& [rule, name, gives] : rows)
        EXPECT_EQ(apply(rule, name), gives) << rule << ": " << name;
    EXPECT_EQ(extensionToken(kEmoji + ".t" + kEmoji, 2), "||t" + kEmoji + "||");
}
