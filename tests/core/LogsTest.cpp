#include <gtest/gtest.h>

#include "logs/Retention.h"
#include "logs/TrackingFile.h"
#include "platform/DateText.h"
#include "support/FileSystemFaults.h"
#include "support/TestSupport.h"

using namespace dokivo;
using dokivo::test::ModuleFixture;
using dokivo::test::TempTree;

TEST(OperationLine, IsTheStampFollowedDirectlyByTheMessage) {
    ModuleFixture f;
    f.m().addLine(" File : a.pdf pospunto 2");
    f.clock.advanceSeconds(1);
    f.m().addLine(" dopo");
    const auto& lines = f.m().operations.lines();
    EXPECT_EQ(lines[0], platform::operationStamp(QDateTime(QDate(2024, 3, 5), QTime(14, 3, 7))) +
                            " File : a.pdf pospunto 2");
    EXPECT_EQ(lines[1], platform::operationStamp(QDateTime(QDate(2024, 3, 5), QTime(14, 3, 8))) + " dopo");
}

TEST(OperationLine, MidnightShowsTheDateAlone) {
    const QDateTime midnight(QDate(2024, 3, 5), QTime(0, 0, 0));
    EXPECT_FALSE(platform::operationStamp(midnight).contains(':'));
    EXPECT_TRUE(platform::operationStamp(midnight.addSecs(1)).contains(':'));
}

TEST(OperationLine, TheTimeCarriesNoZoneNorItsBracketsNorTheSeparatorBeforeIt) {
    const struct {
        const char* localeFormat;
        const char* kept;
    } formats[] = {
        {"HH:mm:ss t", "HH:mm:ss"},
        {"H:mm:ss (t)", "H:mm:ss"},
        {"Bh:mm:ss [t]", "Bh:mm:ss"},
        {"h:mm:ss AP, t", "h:mm:ss AP"},
        {"t HH:mm:ss", "HH:mm:ss"},
        {"H:mm:ss 'ч'. t", "H:mm:ss 'ч'."},
        {"H 'at' mm:ss tttt", "H 'at' mm:ss"},
        {"H 'o''clock' mm:ss", "H 'o''clock' mm:ss"},
    };
    for (const auto& f : formats)
        EXPECT_EQ(platform::timeFormatWithoutZone(QString::fromUtf8(f.localeFormat)),
                  QString::fromUtf8(f.kept));

    const QDateTime when(QDate(2024, 3, 5), QTime(15, 6, 7));
    for (const char* name : {"es_ES", "fa_IR"}) {
        const QLocale locale(QString::fromLatin1(name));
        EXPECT_EQ(platform::operationStamp(when, locale),
                  locale.toString(when.date(), QLocale::ShortFormat) + ' ' +
                      locale.toString(when.time(), QStringLiteral("H:mm:ss")))
            << name;
    }
}

TEST(DatePatterns, AreDigitsIndependentOfTheLocale) {
    const QDateTime t(QDate(2024, 3, 5), QTime(14, 7, 9));
    EXPECT_EQ(platform::formatDate(t, platform::DatePattern::YYYYMMDD), "20240305");
    EXPECT_EQ(platform::formatDate(t, platform::DatePattern::HHMMSS), "140709");
    EXPECT_EQ(platform::formatDate(t, platform::DatePattern::YYMMDDHHSS), "2403051409");  // no minutes
    EXPECT_EQ(platform::formatDate(t, platform::DatePattern::YY), "24");
    EXPECT_EQ(platform::formatDate(t, platform::DatePattern::MM), "03");
    EXPECT_EQ(platform::formatDate(t, platform::DatePattern::DD), "05");
    EXPECT_FALSE(platform::formatDate(t, platform::DatePattern::DDD).isEmpty());
}

TEST(TrackingFlush, AppendsEveryLineWithCrLfAndEmptiesTheList) {
    ModuleFixture f;
    f.m().settings.dir_log_generale = f.tree.path("track");  // no final separator
    QDir().mkpath(f.tree.path("track"));
    f.tree.write("track/Dokivo_tracking.txt", "earlier\r\n");
    f.m().addLine(" uno");
    f.m().addLine(" due");
    f.m().flushTrackingFile();
    EXPECT_EQ(f.m().operations.size(), 0);
    const QByteArray content = f.tree.read("track/Dokivo_tracking.txt");
    EXPECT_TRUE(content.startsWith("earlier\r\n"));
    EXPECT_EQ(content.count("\r\n"), 3);
    EXPECT_TRUE(content.contains(" uno\r\n"));
    EXPECT_TRUE(content.endsWith(" due\r\n"));
}

TEST(TrackingFlush, AnEmptyListCreatesTheFileAndWritesNothing) {
    ModuleFixture f;
    f.m().settings.dir_log_generale = f.tree.folder("track");
    f.m().flushTrackingFile();
    EXPECT_TRUE(f.tree.exists("track/Dokivo_tracking.txt"));
    EXPECT_EQ(f.tree.read("track/Dokivo_tracking.txt"), "");
}

TEST(TrackingFlush, WithoutAFolderSettingWritesIntoTheApplicationFolder) {
    ModuleFixture f;
    f.m().addLine(" riga");
    f.m().flushTrackingFile();
    EXPECT_TRUE(f.tree.read("app/Dokivo_tracking.txt").endsWith(" riga\r\n"));
}

TEST(TrackingFlush, AMissingFolderKeepsTheLinesForTheNextFlush) {
    ModuleFixture f;
    f.m().settings.dir_log_generale = f.tree.path("later/");
    f.m().addLine(" prima");
    f.m().flushTrackingFile();
    EXPECT_EQ(f.m().operations.size(), 1);
    QDir().mkpath(f.tree.path("later"));
    f.m().addLine(" dopo");
    f.m().flushTrackingFile();
    EXPECT_EQ(f.m().operations.size(), 0);
    const QByteArray content = f.tree.read("later/Dokivo_tracking.txt");
    EXPECT_TRUE(content.contains(" prima\r\n"));
    EXPECT_TRUE(content.endsWith(" dopo\r\n"));
}

namespace {

// Record files are created now; retention is asked about a `today` moved by `days`. A link with
// a record file's name, where the system lets the tests make one, is never touched; the other
// entries left are returned.
QStringList survivorsAfterRetention(int days) {
    TempTree tree;
    for (const char* name : {"dokivolog05140307_1.txt", "DOKIVOLOG01000000_2.TXT", "dokivolog.txt.bak",
                             "other.txt", "Dokivo_tracking.txt"})
        tree.write(name, "x");
    QDir().mkpath(tree.path("dokivologdir.txt"));
    const bool linked = test::makeSymbolicLink(tree.path("other.txt"), tree.path("dokivologlink.txt"));
    CANCELLALOG(tree.path(), QDate::currentDate().addDays(days));
    QStringList left = tree.entries();
    if (linked) {
        EXPECT_TRUE(left.removeOne("dokivologlink.txt")) << "days " << days;
    }
    return left;
}

}  // namespace

TEST(Retention, KeepsRecordFilesOf45DaysAndDeletesOlderOnesInAnyLetterCase) {
    const QStringList all{"DOKIVOLOG01000000_2.TXT", "Dokivo_tracking.txt", "dokivolog.txt.bak",
                          "dokivolog05140307_1.txt", "dokivologdir.txt",    "other.txt"};
    EXPECT_EQ(survivorsAfterRetention(45), all);
    EXPECT_EQ(survivorsAfterRetention(46),
              (QStringList{"Dokivo_tracking.txt", "dokivolog.txt.bak", "dokivologdir.txt", "other.txt"}));
}

TEST(Retention, DeletesRecordFilesDatedFarInTheFutureToo) {
    EXPECT_EQ(survivorsAfterRetention(-50),
              (QStringList{"Dokivo_tracking.txt", "dokivolog.txt.bak", "dokivologdir.txt", "other.txt"}));
    EXPECT_EQ(survivorsAfterRetention(-45).size(), 6);
}

TEST(Retention, AMissingFolderIsNotAnError) {
    TempTree tree;
    EXPECT_NO_THROW(CANCELLALOG(tree.path("missing"), QDate::currentDate()));
}
