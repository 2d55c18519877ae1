// Pinned examples of the name rules; the fuzz target holds their properties on any name, and the
// folder pass scenarios the common cases.

#include "platform/RunError.h"
#include "processing/NameRules.h"
#include "processing/SlotContext.h"
#include "processing/SpecialKinds.h"
#include "support/TestSupport.h"

using namespace dokivo;
using dokivo::test::kEmoji;

TEST(ControlRule, ComparesThePositionsWithoutRegardToCaseAndIsInactiveUnlessUsable) {
    const std::tuple<const char*, const char*, const char*, QString, bool> rows[] = {
        {"3", "5", "abc", "1234", false},               // shorter than the last position
        {" 3.7 ", "5", "abc", "12abc", true},           // integer parts
        {"3", "5", "abc", kEmoji + "2ABC9.pdf", true},  // positions count characters
        {"3", "5", "234", kEmoji + "234", false},       // four characters
        {"5", "3", "x", "anything.pdf", true},          // inactive rules let everything by
        {"a", "5", "x", "anything.pdf", true},
        {"1", "5", "", "anything.pdf", true},
        {"", "5", "x", "anything.pdf", true},
        {"0", "2", "ab", "a", false},        // too short: refused before the bad first position counts
        {"0", "2", "ab", "abc.pdf", false},  // a bad call
    };
    for (const auto& [first, last, code, name, passes] : rows) {
        SlotContext ctx;
        ctx.inizio_car_controllo = first;
        ctx.fine_car_controllo = last;
        ctx.car_controllo = code;
        const ControlRule rule = decideControlRule(ctx);
        if (name == "abc.pdf")
            EXPECT_THROW(passesControlRule(rule, name), platform::RunError);
        else
            EXPECT_EQ(passesControlRule(rule, name), passes) << name;
    }
}

TEST(ExtensionTest, TakesListedExtensionsAndAnyPdfByTheLastDotCountedFromOne) {
    const std::tuple<QString, const char*, qsizetype, bool> rows[] = {
        {"Scan 01.PDF", "", 8, true},         {"report.tif", "||Tif||", 7, true},
        {"report.tiff", "||TIF||", 7, false}, {".pdf", "", 1, true},  // no token, but it ends in .PDF
        {".tif", "||TIF||", 1, true},  // the empty token occurs in any non-empty list
        {"a.b.tif", "||TIF||", 4, true},      {kEmoji + " scan.pdf", "", 7, true},
    };
    for (const auto& [name, list, dot, accepted] : rows) {
        EXPECT_EQ(dotPosition(name), dot) << name;
        EXPECT_EQ(acceptedByExtension(name, dot, extensionToken(name, dot), list), accepted) << name;
    }
    EXPECT_EQ(extensionToken(kEmoji + ".t" + kEmoji, 2), "||t" + kEmoji + "||");
    EXPECT_EQ(extensionToken(".tif", 1), "");
}

TEST(DestinationName, TheDashFormsLoseTheirDashesAndTheStampedFormCutsTheBaseToThirtyCharacters) {
    const std::tuple<QString, bool, QString> rows[] = {
        {"ABC-12345678.pdf", false, "ABC_12345678.pdf"},
        {"ABC-1234567X.pdf", false, "ABC-1234567X.pdf"},
        {"ABCD-1234567.pdf", false, "ABCD-1234567.pdf"},
        {"AB-123456789.pdf", false, "AB-123456789.pdf"},
        {kEmoji + "BC-12345678.pdf", false, kEmoji + "BC_12345678.pdf"},
        {"ST-0001234567890-BC.pdf", false, "ST-0001234567890-BC.pdf"},  // only in SIHSIT slots
        {"st-0001234567890-BC.pdf", true, "st-0001234567890-BC.pdf"},
        {"ST-0001234567890-bc.pdf", true, "ST-0001234567890-bc.pdf"},
        {"ST-" + kEmoji + "001234567890-BC.pdf", true, "ST_" + kEmoji + "001234567890_BC.pdf"},
    };
    for (const auto& [name, sihsit, destination] : rows)
        EXPECT_EQ(baseDestinationName(name, sihsit), destination) << name;

    const QDateTime created(QDate(2024, 3, 5), QTime(14, 7, 9));
    const QString forty = QString(40, 'x') + ".PDF";
    EXPECT_EQ(timeStampedName(forty, forty, 41, created), QString(30, 'x') + "_2403051409.PDF");
    // The 30th character is an emoji: it is kept whole, never cut in half.
    const QString emojiAt30 = QString(29, 'x') + kEmoji + "yz." + kEmoji;
    EXPECT_EQ(timeStampedName(emojiAt30, emojiAt30, 33, created),
              QString(29, 'x') + kEmoji + "_2403051409." + kEmoji);
    SlotContext doclibero;
    doclibero.doclibero = true;
    EXPECT_TRUE(wantsTimeStampedName(doclibero));
}

TEST(PodsitirRule, MarkersGiveAPodNameWithTheSourceExtensionCountingCharacters) {
    using Kind = PodsitirResult::Kind;
    const QString envio = QString::fromUtf8("Envio_n\u00BA___");
    const std::tuple<QString, Kind, const char*> rows[] = {
        {"scan_POD_004111222333.pdf", Kind::Renamed, "POD_004111222.pdf"},  // what precedes is dropped
        {QString(300, 'x') + "POD__ABCDEF004123456.pdf", Kind::Renamed, "POD_004123456.pdf"},
        // "º", "è" and "à" take two bytes in UTF-8, an emoji two UTF-16 units: one character each.
        {QString::fromUtf8("Fattura_è_già_POD__ABCDEF005123456.pdf"), Kind::Renamed, "POD_005123456.pdf"},
        {QString::fromUtf8("Mañana_") + envio + "003555666777.pdf", Kind::Renamed, "POD_003555666.pdf"},
        {kEmoji + "POD__AB" + kEmoji + "DEF005123456.pdf", Kind::Renamed, "POD_005123456.pdf"},
        {envio + "006987654321.pdf", Kind::Rejected, ""},  // no type digits
        {"POD_12345678.pdf", Kind::Rejected, ""},
        {"POD__005123456789.pdf", Kind::Rejected, ""},  // "POD__" checks its own distance
        {QString::fromUtf8("envio_nº___004987654321.pdf"), Kind::NoMarker, ""},  // markers are case-sensitive
        {"Envio_no___004987654321.pdf", Kind::NoMarker, ""},
    };
    for (const auto& [name, kind, renamed] : rows) {
        const PodsitirResult result = applyPodsitir(name, name.section('.', -1));
        EXPECT_EQ(result.kind, kind) << name;
        EXPECT_EQ(result.kind == Kind::Renamed ? result.name : "", renamed) << name;
    }
}

TEST(FormatoateneFilter, TakesSixteenCharactersEndingInANumberWithAListedPrefixInItsSlotsOnly) {
    const std::tuple<QString, const char*, const char*, bool> rows[] = {
        {"invoice.pdf", "", "ABCD", true},
        {"ABCD1234567.pdf", "FORMATOATENE", "", false},
        {"ABCD123456789.pdf", "FORMATOATENE", "", false},
        {kEmoji + "BCD12345678.tif", "FORMATOATENE", "", true},
        {"WXYZ12345678.pdf", "FORMATOATENE", "ABCD; WXYZ;", true},
        {"EFGH12345678.pdf", "FORMATOATENE", "ABCD; WXYZ;", false},
        {"abcd12345678.pdf", "FORMATOATENE", "ABCD; WXYZ;", false},
    };
    for (const auto& [name, marker, prefixes, passes] : rows)
        EXPECT_EQ(passesFormatoateneFilter(name, marker, prefixes), passes) << name;
}
