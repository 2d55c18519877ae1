#include "logs/Retention.h"
#include "logs/TrackingFile.h"
#include "platform/DateText.h"
#include "platform/FileSystem.h"
#include "support/FileSystemFaults.h"
#include "support/TestSupport.h"

using namespace dokivo;
using namespace dokivo::test;

// The stamp is the date and the time without its zone, read from the clock for each line; at
// midnight the date alone. The date patterns of records are digits (the folder and name forms pin
// the short ones).
TEST(DateText, StampsLinesWithoutTheZoneAndWritesRecordDatesInDigits) {
    ModuleFixture f;
    f.clock.sleepMs(1000);
    f.m().addLine(" File : a.pdf pospunto 2");
    EXPECT_EQ(f.m().operations.lines().front(),
              platform::operationStamp(FakeClock().now().addSecs(1)) + " File : a.pdf pospunto 2");
    const QDateTime midnight(QDate(2024, 3, 5), QTime(0, 0, 0));
    EXPECT_FALSE(platform::operationStamp(midnight).contains(':'));
    EXPECT_TRUE(platform::operationStamp(midnight.addSecs(1)).contains(':'));
    const QDateTime afternoon(QDate(2024, 3, 5), QTime(14, 7, 9));
    EXPECT_EQ(platform::formatDate(afternoon, platform::DatePattern::YYYYMMDD) + ' ' +
                  platform::formatDate(afternoon, platform::DatePattern::HHMMSS),
              "20240305 140709");
    EXPECT_FALSE(platform::formatDate(afternoon, platform::DatePattern::DDD).isEmpty());

    EXPECT_EQ(platform::timeFormatWithoutZone("H 'at' mm:ss tttt"), "H 'at' mm:ss");  // quoted: text
    // In every locale: the short date, then the time with its seconds and nothing left of the zone.
    for (const QLocale& locale :
         QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
        const QString date = locale.toString(afternoon.date(), QLocale::ShortFormat) + ' ';
        const QString stamp = platform::operationStamp(afternoon.addSecs(38), locale);  // 14:07:47
        const QString time = stamp.mid(date.size());  // with the zone's name it would hold that
        EXPECT_TRUE(stamp.startsWith(date) && time.contains(locale.toString(47)) && time == time.trimmed() &&
                    !time.contains(locale.toString(afternoon, "t")) &&
                    !time.contains(QRegularExpression("\\(\\)|\\[\\]|[,(\\[]$|^[,.;:(\\[]")))
            << locale.name() << ": " << stamp;
    }
}

// A flush appends the list with CR LF line ends and empties it, into the application folder when
// no folder is set; an empty list only creates the file. One that cannot write (a FIFO in the
// file's place, a full disk) leaves the file as it was, keeps every line for the next flush and does
// not wait. (A tracking folder not there yet is a fault scenario of the pass.)
TEST(TrackingFlush, AppendsEveryLineOnceOrKeepsThemAll) {
    ModuleFixture f;
    const auto add = [&](int lines) {  // the bytes they are to add to the file
        QByteArray bytes;
        for (int i = 0; i < lines; ++i) {
            f.m().addLine(" riga " + QString::number(i));
            bytes += f.m().operations.lines().back().toUtf8() + "\r\n";
        }
        return bytes;
    };
    const auto flushes = [&](const QString& file, const QByteArray& bytes) {
        f.m().flushTrackingFile();
        EXPECT_EQ(f.m().operations.size(), 0);
        EXPECT_EQ(f.tree.read(file), bytes) << file;
    };
    const QString file = "track/" + kTrackingFileName;
    flushes("app/" + kTrackingFileName, "");
    EXPECT_TRUE(f.tree.exists("app/" + kTrackingFileName));
    f.m().settings.dir_log_generale = f.tree.folder("track").chopped(1);  // without its final separator
    f.tree.write(file, "earlier\r\n");
    flushes(file, "earlier\r\n" + add(2));

    // The lines each adds, the fault, and what the file holds: no part of a failed flush may stay.
    const std::tuple<int, std::function<Guard()>, QByteArray> faults[] = {
        {1,
         [&] {
             return QFile::remove(f.tree.path(file)) && makeNode(f.tree.path(file), Node::Fifo) ? until([] {})
                                                                                                : nullptr;
         },
         ""},   // a FIFO stays one, never opened
        {2000,  // some 60 KB, three times the room that is left
         [&] {
             Guard tiny = tinyFileSystem(f.tree.path("track"));
             f.tree.write(file, "earlier\r\n");
             f.tree.write("track/filler.bin", QByteArray(280 * 1024, 'x'));
             return tiny;
         },
         "earlier\r\n"},
    };
    for (const auto& [lines, fault, was] : faults) {
        const QByteArray bytes = add(lines);
        const Guard guard = fault();
        if (!guard) {
            std::printf("a fault not made: this system cannot make it\n");
            continue;
        }
        EXPECT_TRUE(runsWithoutBlocking(f.tree.path(), [&] { f.m().flushTrackingFile(); }));
        EXPECT_EQ(f.m().operations.size(), lines);
        EXPECT_EQ(QFileInfo(f.tree.path(file)).isFile() ? f.tree.read(file) : "", was);
        QFile::remove(f.tree.path("track/filler.bin"));
        QFile::remove(f.tree.path(file));
        f.tree.write(file, "earlier\r\n");
        flushes(file, "earlier\r\n" + bytes);
    }
}

// Record files are created now; retention is asked about a `today` moved by `days`. A link with a
// record file's name, where the system lets the tests make one, is never touched.
TEST(Retention, KeepsRecordFilesOf45DaysAndDeletesOlderOrFarFutureOnesInAnyLetterCase) {
    const QStringList records{"DOKIVOLOG01000000_2.TXT", "dokivolog05140307_1.txt"};
    const QStringList others{"Dokivo_tracking.txt", "dokivolog.txt.bak", "dokivologdir.txt", "other.txt"};
    for (const auto& [days, kept] : {std::pair{45, true}, {46, false}, {-45, true}, {-50, false}}) {
        TempTree tree;
        for (const QString& name : records + others)
            name.endsWith("dir.txt") ? void(tree.folder(name)) : tree.write(name, "x");
        const bool linked = makeSymbolicLink(tree.path("other.txt"), tree.path("dokivologlink.txt"));
        sweepOldRecordFiles(tree.path(), QDate::currentDate().addDays(days));
        QStringList survivors = tree.entries(), left = kept ? records + others : others;
        left.sort();
        EXPECT_EQ(survivors.removeOne("dokivologlink.txt"), linked) << days;
        EXPECT_EQ(survivors, left) << days;
    }
    TempTree tree;
    EXPECT_NO_THROW(sweepOldRecordFiles(tree.path("missing"), QDate::currentDate()));
}
