#include "logs/Retention.h"
#include "logs/TrackingFile.h"
#include "platform/DateText.h"
#include "platform/FileSystem.h"
#include "support/FileSystemFaults.h"
#include "support/TestSupport.h"

using namespace dokivo;
using namespace dokivo::test;

// The stamp is the date and the time without its zone, read from the clock for each line; at
// midnight the date alone.
TEST(OperationLine, IsTheStampFollowedDirectlyByTheMessage) {
    ModuleFixture f;
    f.clock.sleepMs(1000);
    f.m().addLine(" File : a.pdf pospunto 2");
    EXPECT_EQ(f.m().operations.lines().front(),
              platform::operationStamp(FakeClock().now().addSecs(1)) + " File : a.pdf pospunto 2");
    const QDateTime midnight(QDate(2024, 3, 5), QTime(0, 0, 0));
    EXPECT_FALSE(platform::operationStamp(midnight).contains(':'));
    EXPECT_TRUE(platform::operationStamp(midnight.addSecs(1)).contains(':'));

    const std::pair<const char*, const char*> formats[] = {
        {"HH:mm:ss t", "HH:mm:ss"},
        {"H:mm:ss (t)", "H:mm:ss"},
        {"Bh:mm:ss [t]", "Bh:mm:ss"},
        {"h:mm:ss AP, t", "h:mm:ss AP"},
        {"t HH:mm:ss", "HH:mm:ss"},
        {"H:mm:ss 'ч'. t", "H:mm:ss 'ч'."},
        {"H 'at' mm:ss tttt", "H 'at' mm:ss"},
        {"H 'o''clock' mm:ss", "H 'o''clock' mm:ss"},
    };
    for (const auto& [format, kept] : formats)
        EXPECT_EQ(platform::timeFormatWithoutZone(QString::fromUtf8(format)), QString::fromUtf8(kept));
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
    using platform::DatePattern;
    const QDateTime t(QDate(2024, 3, 5), QTime(14, 7, 9));
    const std::pair<DatePattern, const char*> rows[] = {{DatePattern::YYYYMMDD, "20240305"},
                                                        {DatePattern::HHMMSS, "140709"},
                                                        {DatePattern::YYMMDDHHSS, "2403051409"},
                                                        {DatePattern::YY, "24"},
                                                        {DatePattern::MM, "03"},
                                                        {DatePattern::DD, "05"}};
    for (const auto& [pattern, text] : rows)
        EXPECT_EQ(platform::formatDate(t, pattern), text);
    EXPECT_FALSE(platform::formatDate(t, DatePattern::DDD).isEmpty());
}

// A flush appends the list with CR LF line ends and empties it; one that cannot write (a full
// disk, a FIFO in the file's place) leaves the file as it was, keeps every line for the next flush
// and does not wait. (A tracking folder not there yet is a fault scenario of the pass.)
TEST(TrackingFlush, AppendsEveryLineOnceOrKeepsThemAll) {
    const struct {
        const char* what;
        const char* setting;  // the tracking folder setting, below the tree; null: none
        int lines;
        std::function<Guard(ModuleFixture&)> fault;  // null guard: cannot be made here
    } rows[] = {
        {"a folder without its final separator", "track", 2, nullptr},
        {"an empty list", "track/", 0, nullptr},
        {"no folder setting: the application folder", nullptr, 1, nullptr},
        {"a full disk", "track/", 2000,  // some 60 KB, three times the room that is left
         [](ModuleFixture& f) {
             Guard tiny = tinyFileSystem(f.tree.path("track"));
             f.tree.write("track/" + kTrackingFileName, "earlier\r\n");
             f.tree.write("track/filler.bin", QByteArray(280 * 1024, 'x'));
             return tiny;
         }},
        {"a FIFO in the file's place", "track/", 1,
         [](ModuleFixture& f) {
             return makeFifo(f.tree.path("track/" + kTrackingFileName)) ? until([] {}) : nullptr;
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ModuleFixture f;
        f.tree.folder("track");
        if (row.setting)
            f.m().settings.dir_log_generale = f.tree.path(row.setting);
        for (int i = 0; i < row.lines; ++i)
            f.m().addLine(" riga " + QString::number(i));
        const QString file = (row.setting ? "track/" : "app/") + kTrackingFileName;
        const Guard fault = row.fault ? row.fault(f) : nullptr;
        if (row.fault && !fault) {
            std::printf("row not run: %s: this system cannot make it\n", row.what);
            continue;
        }
        if (fault) {
            const auto contents = [&] {  // never opens a FIFO
                return QFileInfo(f.tree.path(file)).isFile() ? f.tree.read(file) : QByteArray();
            };
            const QByteArray was = contents();
            EXPECT_TRUE(runsWithoutBlocking(f.tree.path(), [&] { f.m().flushTrackingFile(); }));
            EXPECT_EQ(f.m().operations.size(), row.lines);
            EXPECT_EQ(contents(), was) << "no part of the flush stays";
            QFile::remove(f.tree.path("track/filler.bin"));
            QFile::remove(f.tree.path(file));
        }
        QByteArray expected = row.lines ? "earlier\r\n" : "";  // an empty list only creates the file
        if (row.lines)
            f.tree.write(file, expected);
        for (const QString& line : f.m().operations.lines())
            expected += line.toUtf8() + "\r\n";
        f.m().flushTrackingFile();
        EXPECT_EQ(f.m().operations.size(), 0);
        EXPECT_TRUE(f.tree.exists(file));
        EXPECT_EQ(f.tree.read(file), expected);
    }
}

// Record files are created now; retention is asked about a `today` moved by `days`. A link with a
// record file's name, where the system lets the tests make one, is never touched.
TEST(Retention, KeepsRecordFilesOf45DaysAndDeletesOlderOrFarFutureOnesInAnyLetterCase) {
    const QStringList others{"Dokivo_tracking.txt", "dokivolog.txt.bak", "dokivologdir.txt", "other.txt"};
    const QStringList all{"DOKIVOLOG01000000_2.TXT", "Dokivo_tracking.txt", "dokivolog.txt.bak",
                          "dokivolog05140307_1.txt", "dokivologdir.txt",    "other.txt"};
    for (const auto& [days, left] : {std::pair{45, all}, {46, others}, {-45, all}, {-50, others}}) {
        TempTree tree;
        for (const char* name : {"dokivolog05140307_1.txt", "DOKIVOLOG01000000_2.TXT", "dokivolog.txt.bak",
                                 "other.txt", "Dokivo_tracking.txt"})
            tree.write(name, "x");
        QDir().mkpath(tree.path("dokivologdir.txt"));
        const bool linked = makeSymbolicLink(tree.path("other.txt"), tree.path("dokivologlink.txt"));
        CANCELLALOG(tree.path(), QDate::currentDate().addDays(days));
        QStringList survivors = tree.entries();
        EXPECT_EQ(survivors.removeOne("dokivologlink.txt"), linked) << days;
        EXPECT_EQ(survivors, left) << days;
    }
    TempTree tree;
    EXPECT_NO_THROW(CANCELLALOG(tree.path("missing"), QDate::currentDate()));
}
