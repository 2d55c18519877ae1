#include "platform/RunError.h"
#include "processing/NameRules.h"
#include "processing/SlotContext.h"
#include "processing/SpecialKinds.h"
#include "support/TestSupport.h"

using namespace dokivo;
using dokivo::test::kEmoji;

namespace {

ControlRule rule(const QString& first, const QString& last, const QString& code) {
    SlotContext ctx;
    ctx.inizio_car_controllo = first;
    ctx.fine_car_controllo = last;
    ctx.car_controllo = code;
    return decideControlRule(ctx);
}

const QString kEnvio = QString::fromUtf8("Envio_n\u00BA___");
const QDateTime kCreated(QDate(2024, 3, 5), QTime(14, 7, 9));

}  // namespace

TEST(ControlRule, ComparesThePositionsWithoutRegardToCaseAndIsInactiveUnlessUsable) {
    const struct {
        ControlRule rule;
        QString name;
        bool passes;
    } rows[] = {
        {rule("3", "5", "abc"), "12ABC9.pdf", true},
        {rule("3", "5", "abc"), "12ABD9.pdf", false},
        {rule("3", "5", "abc"), "1234", false},               // shorter than the last position
        {rule(" 3.7 ", "5", "abc"), "12abc", true},           // integer parts
        {rule("3", "5", "abc"), kEmoji + "2ABC9.pdf", true},  // positions count characters
        {rule("3", "5", "234"), kEmoji + "234", false},       // four characters
        {rule("5", "3", "x"), "anything.pdf", true},          // inactive rules let everything by
        {rule("a", "5", "x"), "anything.pdf", true},
        {rule("1", "5", ""), "anything.pdf", true},
        {rule("", "5", "x"), "anything.pdf", true},
        {rule("0", "2", "ab"), "a", false},  // too short: skipped before the extraction
    };
    for (const auto& row : rows)
        EXPECT_EQ(passesControlRule(row.rule, row.name), row.passes) << row.name;
    EXPECT_FALSE(rule("5", "3", "x").active || rule("a", "5", "x").active || rule("1", "5", "").active);
    EXPECT_THROW(passesControlRule(rule("0", "2", "ab"), "abc.pdf"), platform::RunError);
}

TEST(ExtensionTest, TakesListedExtensionsAndAnyPdfByTheLastDotCountedFromOne) {
    const struct {
        QString name;
        const char* list;
        qsizetype dot;
        bool accepted;
    } rows[] = {
        {"Scan 01.PDF", "", 8, true},
        {"report.pdf", "||TIF||", 7, true},
        {"report.tif", "", 7, false},
        {"report.tif", "||Tif||", 7, true},
        {"report.tiff", "||TIF||", 7, false},
        {"report", "||PDF||", 0, false},  // no dot, never taken
        {".pdf", "", 1, true},            // no token, but it ends in .PDF
        {".tif", "||TIF||", 1, true},     // the empty token occurs in any non-empty list
        {"a.b.tif", "||TIF||", 4, true},
        {kEmoji + " scan.pdf", "", 7, true},
    };
    for (const auto& row : rows) {
        const qsizetype dot = dotPosition(row.name);
        EXPECT_EQ(dot, row.dot) << row.name;
        EXPECT_EQ(acceptedByExtension(row.name, dot, extensionToken(row.name, dot), row.list), row.accepted)
            << row.name;
    }
    EXPECT_EQ(extensionToken(kEmoji + ".t" + kEmoji, 2), "||t" + kEmoji + "||");
    EXPECT_EQ(extensionToken(".tif", 1), "");
}

TEST(DestinationName, BlanksBecomeUnderscoresAndTheDashFormsLoseTheirDashes) {
    const struct {
        QString name;
        bool sihsit;
        QString destination;
    } rows[] = {
        {"Scan 01.PDF", false, "Scan_01.PDF"},
        {"ABC-12345678.pdf", false, "ABC_12345678.pdf"},
        {"ABC-1234567X.pdf", false, "ABC-1234567X.pdf"},
        {"ABCD-1234567.pdf", false, "ABCD-1234567.pdf"},
        {"AB-123456789.pdf", false, "AB-123456789.pdf"},
        {"ABC 12345678.pdf", false, "ABC_12345678.pdf"},
        {kEmoji + "BC-12345678.pdf", false, kEmoji + "BC_12345678.pdf"},
        {"ST-0001234567890-BC.pdf", true, "ST_0001234567890_BC.pdf"},
        {"ST-0001234567890-BC.pdf", false, "ST-0001234567890-BC.pdf"},  // only in SIHSIT slots
        {"st-0001234567890-BC.pdf", true, "st-0001234567890-BC.pdf"},
        {"ST-0001234567890-bc.pdf", true, "ST-0001234567890-bc.pdf"},
        {"ST-" + kEmoji + "001234567890-BC.pdf", true, "ST_" + kEmoji + "001234567890_BC.pdf"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(baseDestinationName(row.name, row.sihsit), row.destination) << row.name;
}

TEST(DestinationName, TheTimeStampedFormCutsTheBaseToThirtyCharactersAndIsForAbbinAndDoclibero) {
    EXPECT_EQ(timeStampedName("my_scan.pdf", "my scan.pdf", 8, kCreated), "my_scan_2403051409.pdf");
    const QString forty = QString(40, 'x') + ".PDF";
    EXPECT_EQ(timeStampedName(forty, forty, 41, kCreated), QString(30, 'x') + "_2403051409.PDF");
    // The 30th character is an emoji: it is kept whole, never cut in half.
    const QString emojiAt30 = QString(29, 'x') + kEmoji + "yz." + kEmoji;
    EXPECT_EQ(timeStampedName(emojiAt30, emojiAt30, 33, kCreated),
              QString(29, 'x') + kEmoji + "_2403051409." + kEmoji);
    SlotContext ctx;
    EXPECT_FALSE(wantsTimeStampedName(ctx));
    ctx.abbin_value = "X12";
    EXPECT_TRUE(wantsTimeStampedName(ctx));
    ctx.abbin_value.clear();
    ctx.doclibero = true;
    EXPECT_TRUE(wantsTimeStampedName(ctx));
}

TEST(PodsitirRule, MarkersGiveAPodNameWithTheSourceExtensionCountingCharacters) {
    using Kind = PodsitirResult::Kind;
    const struct {
        QString name;
        Kind kind;
        const char* renamed;
    } rows[] = {
        {"POD__ABCDEF005123456.pdf", Kind::Renamed, "POD_005123456.pdf"},
        {kEnvio + "004987654321.PDF", Kind::Renamed, "POD_004987654.PDF"},
        {"POD_003123456.pdf", Kind::Renamed, "POD_003123456.pdf"},
        {"scan_POD_004111222333.pdf", Kind::Renamed, "POD_004111222.pdf"},  // what precedes is dropped
        {QString(300, 'x') + "POD__ABCDEF004123456.pdf", Kind::Renamed, "POD_004123456.pdf"},
        // "º", "è" and "à" take two bytes in UTF-8, an emoji two UTF-16 units: one character each.
        {QString::fromUtf8("Fattura_è_già_POD__ABCDEF005123456.pdf"), Kind::Renamed, "POD_005123456.pdf"},
        {QString::fromUtf8("Mañana_") + kEnvio + "003555666777.pdf", Kind::Renamed, "POD_003555666.pdf"},
        {kEmoji + "POD__AB" + kEmoji + "DEF005123456.pdf", Kind::Renamed, "POD_005123456.pdf"},
        {"POD__ABCDEF009123456.pdf", Kind::Rejected, ""},  // no type digits
        {kEnvio + "006987654321.pdf", Kind::Rejected, ""},
        {"POD_12345678.pdf", Kind::Rejected, ""},
        {"POD__005123456789.pdf", Kind::Rejected, ""},  // "POD__" checks its own distance
        {"invoice.pdf", Kind::NoMarker, ""},
        {"pod__abcdef005123456.pdf", Kind::NoMarker, ""},  // markers are case-sensitive
        {QString::fromUtf8("envio_nº___004987654321.pdf"), Kind::NoMarker, ""},
        {"Envio_no___004987654321.pdf", Kind::NoMarker, ""},
    };
    for (const auto& row : rows) {
        const PodsitirResult result = applyPodsitir(row.name, row.name.section('.', -1));
        EXPECT_EQ(result.kind, row.kind) << row.name;
        if (row.kind == Kind::Renamed) {
            EXPECT_EQ(result.name, row.renamed) << row.name;
        }
    }
}

TEST(FormatoateneFilter, TakesSixteenCharactersEndingInANumberWithAListedPrefixInItsSlotsOnly) {
    const struct {
        QString name;
        const char* marker;
        const char* prefixes;
        bool passes;
    } rows[] = {
        {"invoice.pdf", "", "ABCD", true},
        {"invoice.pdf", "FORMATOATENE", "", false},
        {"ABCD12345678.pdf", "FORMATOATENE", "", true},
        {"WXYZ12345678.tif", "FORMATOATENE", "", true},
        {"ABCD1234567.pdf", "FORMATOATENE", "", false},
        {"ABCD123456789.pdf", "FORMATOATENE", "", false},
        {"ABCD1234567X.pdf", "FORMATOATENE", "", false},
        {kEmoji + "BCD12345678.pdf", "FORMATOATENE", "", true},
        {"ABCD12345678.pdf", "FORMATOATENE", "ABCD; WXYZ;", true},
        {"WXYZ12345678.pdf", "FORMATOATENE", "ABCD; WXYZ;", true},
        {"EFGH12345678.pdf", "FORMATOATENE", "ABCD; WXYZ;", false},
        {"abcd12345678.pdf", "FORMATOATENE", "ABCD; WXYZ;", false},
        {"ABCD1234567X.pdf", "FORMATOATENE", "ABCD; WXYZ;", false},  // a listed prefix, the wrong form
    };
    for (const auto& row : rows)
        EXPECT_EQ(passesFormatoateneFilter(row.name, row.marker, row.prefixes), row.passes) << row.name;
}
