#include <gtest/gtest.h>

#include <QDate>

#include "support/CliRunner.h"
#include "support/TestSupport.h"

using namespace dokivo::test;

// The console program filing one document end to end, from its own copy in a private folder
// so its record files stay there.
TEST(RoadOfADocument, ThroughTheConsoleProgram) {
    TempTree tree;
    const QString program = installCliCopy(tree.folder("app"));
    ASSERT_FALSE(program.isEmpty());
    tree.write("scan/in/Scan 01.pdf", "%PDF-1.4 scan\n");
    tree.write(
        "conf/Dokivo.ini",
        ("[TUTTI]\r\ndir_log_generale=" + tree.folder("track") + "\r\ndir_in_0=" + tree.path("scan/in") +
         "\r\ndir_out_0=" + tree.folder("arch") + "\r\ndir_log_0=" + tree.folder("log") +
         "\r\ndir_backup_0=" + tree.folder("bak") + "\r\ndir_nazionale_0=CREA:AA/MM/GG;\r\n")
            .toUtf8());

    const CliResult r = runCli({"ini:" + tree.path("conf"), "run:y"}, program);
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();

    const QDate today = QDate::currentDate();
    const QString dated = tree.path("arch/" + today.toString("yy/MM/dd/"));
    EXPECT_EQ(tree.read("bak/Scan_01.pdf"), "%PDF-1.4 scan\n");
    QFile filed(dated + "Scan_01.pdf");
    ASSERT_TRUE(filed.open(QIODevice::ReadOnly)) << dated.toStdString();
    EXPECT_EQ(filed.readAll(), "%PDF-1.4 scan\n");
    EXPECT_FALSE(tree.exists("scan/in/Scan 01.pdf"));

    const QString tracking = QString::fromUtf8(tree.read("track/Dokivo_tracking.txt"));
    const QStringList order{" Apertura  DOKIVO autorun  ",
                            " Lettura cartella pricipale ",
                            " Inizio lettura contenuto : ",
                            " File : Scan 01.pdf pospunto 8",
                            " nella dir di backup ",
                            "  nella dir di destinazione ",
                            " File elaborato : ",
                            " Fine lettura contenuto : ",
                            " Elaborati : 1",
                            " CHIUSURA  DOKIVO "};
    qsizetype at = 0;
    for (const QString& piece : order) {
        const qsizetype found = tracking.indexOf(piece, at);
        EXPECT_GE(found, 0) << "missing or out of order: " << piece.toStdString();
        if (found >= 0)
            at = found;
    }
    EXPECT_TRUE(r.out.contains("Elaborati 1 file PDF | Origine " + tree.path("scan/in/")))
        << r.out.toStdString();

    const QStringList records = QDir(tree.path("log")).entryList({"dokivolog*.txt"});
    ASSERT_EQ(records.size(), 1);
    EXPECT_TRUE(tree.exists("app/" + records[0]));
    const QByteArray record = tree.read("log/" + records[0]);
    EXPECT_TRUE(record.contains("\r\nScan_01.pdf\t" + dated.toUtf8() + "\t\t" +
                                today.toString("yyyyMMdd").toUtf8() + "\t"))
        << record.constData();
}
