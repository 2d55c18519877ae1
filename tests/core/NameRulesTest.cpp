#include <gtest/gtest.h>

#include "platform/RunError.h"
#include "processing/NameRules.h"
#include "processing/SlotContext.h"
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

bool accepted(const QString& name, const QString& list) {
    const qsizetype dot = dotPosition(name);
    return acceptedByExtension(name, dot, extensionToken(name, dot), list);
}

}  // namespace

TEST(ControlRule, ComparesThePositionsWithoutRegardToCase) {
    const ControlRule r = rule("3", "5", "abc");
    ASSERT_TRUE(r.active);
    EXPECT_TRUE(passesControlRule(r, "12ABC9.pdf"));
    EXPECT_FALSE(passesControlRule(r, "12ABD9.pdf"));
    EXPECT_FALSE(passesControlRule(r, "1234"));                              // shorter than the last position
    EXPECT_TRUE(passesControlRule(rule(" 3.7 ", "5", "abc"), "12abc"));      // integer parts
    EXPECT_TRUE(passesControlRule(r, kEmoji + "2ABC9.pdf"));                 // positions count characters
    EXPECT_FALSE(passesControlRule(rule("3", "5", "234"), kEmoji + "234"));  // four characters
}

TEST(ControlRule, IsInactiveUnlessAllThreeValuesAreUsable) {
    EXPECT_FALSE(rule("5", "3", "x").active);
    EXPECT_FALSE(rule("a", "5", "x").active);
    EXPECT_FALSE(rule("1", "5", "").active);
    EXPECT_FALSE(rule("", "5", "x").active);
    EXPECT_TRUE(passesControlRule(rule("5", "3", "x"), "anything.pdf"));
}

TEST(ControlRule, AFirstPositionBelowOneIsARunTimeError) {
    const ControlRule r = rule("0", "2", "ab");
    ASSERT_TRUE(r.active);
    EXPECT_FALSE(passesControlRule(r, "a"));  // too short: skipped before the extraction
    EXPECT_THROW(passesControlRule(r, "abc.pdf"), platform::RunError);
}

TEST(ExtensionTest, TakesListedExtensionsAndAnyPdf) {
    EXPECT_TRUE(accepted("Scan 01.PDF", ""));
    EXPECT_TRUE(accepted("report.pdf", "||TIF||"));
    EXPECT_FALSE(accepted("report.tif", ""));
    EXPECT_TRUE(accepted("report.tif", "||Tif||"));
    EXPECT_FALSE(accepted("report.tiff", "||TIF||"));
    EXPECT_FALSE(accepted("report", "||PDF||"));  // no dot, never taken
    EXPECT_TRUE(accepted(".pdf", ""));            // a dot at position 1: no token, but it ends in .PDF
    EXPECT_TRUE(accepted(".tif", "||TIF||"));     // the empty token occurs in any non-empty list
}

TEST(ExtensionTest, TheDotPositionIsTheLastDotCountedFromOne) {
    EXPECT_EQ(dotPosition("Scan 01.pdf"), 8);
    EXPECT_EQ(dotPosition("a.b.c"), 4);
    EXPECT_EQ(dotPosition("none"), 0);
    EXPECT_EQ(dotPosition(kEmoji + " scan.pdf"), 7);
    EXPECT_EQ(extensionToken(kEmoji + ".t" + kEmoji, 2), "||t" + kEmoji + "||");
    EXPECT_EQ(extensionToken("a.b.tif", 4), "||tif||");
    EXPECT_EQ(extensionToken(".tif", 1), "");
}

TEST(DestinationName, BlanksBecomeUnderscoresAndTheSixteenCharacterFormLosesItsDash) {
    EXPECT_EQ(baseDestinationName("Scan 01.PDF", false), "Scan_01.PDF");
    EXPECT_EQ(baseDestinationName("ABC-12345678.pdf", false), "ABC_12345678.pdf");
    EXPECT_EQ(baseDestinationName("ABC-1234567X.pdf", false), "ABC-1234567X.pdf");
    EXPECT_EQ(baseDestinationName("ABCD-1234567.pdf", false), "ABCD-1234567.pdf");
    EXPECT_EQ(baseDestinationName("AB-123456789.pdf", false), "AB-123456789.pdf");
    EXPECT_EQ(baseDestinationName("ABC 12345678.pdf", false), "ABC_12345678.pdf");
    EXPECT_EQ(baseDestinationName(kEmoji + "BC-12345678.pdf", false), kEmoji + "BC_12345678.pdf");
}

TEST(DestinationName, SihsitFormOnlyInSihsitSlots) {
    EXPECT_EQ(baseDestinationName("ST-0001234567890-BC.pdf", true), "ST_0001234567890_BC.pdf");
    EXPECT_EQ(baseDestinationName("ST-0001234567890-BC.pdf", false), "ST-0001234567890-BC.pdf");
    EXPECT_EQ(baseDestinationName("st-0001234567890-BC.pdf", true), "st-0001234567890-BC.pdf");
    EXPECT_EQ(baseDestinationName("ST-0001234567890-bc.pdf", true), "ST-0001234567890-bc.pdf");
    EXPECT_EQ(baseDestinationName("ST-" + kEmoji + "001234567890-BC.pdf", true),
              "ST_" + kEmoji + "001234567890_BC.pdf");
}

TEST(DestinationName, TimeStampedFormCutsTheBaseToThirtyCharacters) {
    const QDateTime created(QDate(2024, 3, 5), QTime(14, 7, 9));
    EXPECT_EQ(timeStampedName("my_scan.pdf", "my scan.pdf", 8, created), "my_scan_2403051409.pdf");
    const QString forty = QString(40, QLatin1Char('x')) + ".PDF";
    EXPECT_EQ(timeStampedName(forty, forty, 41, created), QString(30, QLatin1Char('x')) + "_2403051409.PDF");
    // The 30th character is an emoji: it is kept whole, never cut in half.
    const QString emojiAt30 = QString(29, QLatin1Char('x')) + kEmoji + "yz." + kEmoji;
    EXPECT_EQ(timeStampedName(emojiAt30, emojiAt30, 33, created),
              QString(29, QLatin1Char('x')) + kEmoji + "_2403051409." + kEmoji);
    SlotContext ctx;
    EXPECT_FALSE(wantsTimeStampedName(ctx));
    ctx.abbin_value = "X12";
    EXPECT_TRUE(wantsTimeStampedName(ctx));
    ctx.abbin_value.clear();
    ctx.doclibero = true;
    EXPECT_TRUE(wantsTimeStampedName(ctx));
}
