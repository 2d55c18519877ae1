#include <gtest/gtest.h>

#include <QDir>

#include "platform/DateText.h"
#include "platform/FileSystem.h"
#include "processing/SpecialKinds.h"
#include "scan/ScanDriver.h"
#include "support/TestSupport.h"

using namespace dokivo;
using dokivo::platform::DatePattern;
using dokivo::platform::formatDate;
using dokivo::test::kEmoji;

namespace {

using Kind = PodsitirResult::Kind;

const QString kEnvioMarker = QStringLiteral("Envio_n\u00BA___");

// Slot 0 of a configured tree: input "in/", destination "out/", log "log/", no backup.
struct KindsPass : dokivo::test::ModuleFixture, ::testing::Test {
    QString in = tree.folder("in");
    QString out = tree.folder("out");
    QString log = tree.folder("log");

    void configure(const QString& parameters, const QString& generalLines = {}) {
        writeIni("[TUTTI]\r\ndir_log_generale=" + tree.folder("track") + "\r\n" + generalLines +
                 "dir_in_0=" + in + "\r\ndir_out_0=" + out + "\r\ndir_log_0=" + log +
                 "\r\ndir_nazionale_0=" + parameters + "\r\n");
    }
    void drop(const QString& name, const QByteArray& content = "%PDF-1.4 test\n") const {
        tree.write("in/" + name, content);
    }
    QDateTime createdAt(const QString& name) const {
        return platform::regularFileInfo(in + name).value().created;
    }
    void pass() { LEGGI_DIR(m()); }

    QStringList inputFiles() const { return QDir(in).entryList(QDir::Files, QDir::Name); }
    QStringList delivered(const QString& rel = {}) const {
        return QDir(out + rel).entryList(QDir::Files, QDir::Name);
    }
    // The record lines handed over to the log folder, one list of fields per line, headers left out.
    std::vector<QStringList> records() const {
        std::vector<QStringList> lines;
        for (const QString& name : QDir(log).entryList({"dokivolog*.txt"}, QDir::Files, QDir::Name)) {
            const QString text = QString::fromUtf8(tree.read("log/" + name));
            const QStringList rows = text.split("\r\n", Qt::SkipEmptyParts);
            for (qsizetype i = 1; i < rows.size(); ++i)
                lines.push_back(rows[i].split('\t'));
        }
        return lines;
    }
};

}  // namespace

TEST(PodsitirRule, EachMarkerGivesAPodNameWithTheSourceExtension) {
    EXPECT_EQ(applyPodsitir("POD__ABCDEF005123456.pdf", "pdf").name, "POD_005123456.pdf");
    EXPECT_EQ(applyPodsitir(kEnvioMarker + "004987654321.PDF", "PDF").name, "POD_004987654.PDF");
    EXPECT_EQ(applyPodsitir("POD_003123456.pdf", "pdf").name, "POD_003123456.pdf");
    // The marker may stand anywhere; what precedes it is dropped.
    EXPECT_EQ(applyPodsitir("scan_POD_004111222333.pdf", "pdf").name, "POD_004111222.pdf");
    EXPECT_EQ(applyPodsitir("POD__ABCDEF005123456.pdf", "pdf").kind, Kind::Renamed);
}

TEST(PodsitirRule, PositionsCountCharactersNotBytes) {
    // "º", "è" and "à" take two bytes each in UTF-8: a byte count would miss the type digits.
    EXPECT_EQ(applyPodsitir(QString::fromUtf8("Fattura_è_già_POD__ABCDEF005123456.pdf"), "pdf").name,
              "POD_005123456.pdf");
    EXPECT_EQ(applyPodsitir(QString::fromUtf8("Mañana_") + kEnvioMarker + "003555666777.pdf", "pdf").name,
              "POD_003555666.pdf");
    // An emoji is two UTF-16 units but one character, before the marker or after it.
    EXPECT_EQ(applyPodsitir(kEmoji + "POD__AB" + kEmoji + "DEF005123456.pdf", "pdf").name,
              "POD_005123456.pdf");
}

TEST(PodsitirRule, MarkersFarIntoALongNameStillWork) {
    const QString padding(300, 'x');
    const PodsitirResult result = applyPodsitir(padding + "POD__ABCDEF004123456.pdf", "pdf");
    EXPECT_EQ(result.kind, Kind::Renamed);
    EXPECT_EQ(result.name, "POD_004123456.pdf");
}

TEST(PodsitirRule, AMarkerWithoutTypeDigitsRejectsTheName) {
    EXPECT_EQ(applyPodsitir("POD__ABCDEF009123456.pdf", "pdf").kind, Kind::Rejected);
    EXPECT_EQ(applyPodsitir(kEnvioMarker + "006987654321.pdf", "pdf").kind, Kind::Rejected);
    EXPECT_EQ(applyPodsitir("POD_12345678.pdf", "pdf").kind, Kind::Rejected);
    // "POD__" checks its own distance, not the one of "POD_".
    EXPECT_EQ(applyPodsitir("POD__005123456789.pdf", "pdf").kind, Kind::Rejected);
}

TEST(PodsitirRule, MarkersAreCaseSensitive) {
    EXPECT_EQ(applyPodsitir("invoice.pdf", "pdf").kind, Kind::NoMarker);
    EXPECT_EQ(applyPodsitir("pod__abcdef005123456.pdf", "pdf").kind, Kind::NoMarker);
    EXPECT_EQ(applyPodsitir(QString::fromUtf8("envio_nº___004987654321.pdf"), "pdf").kind, Kind::NoMarker);
    // With "o" in place of "º" the name is no Envio marker.
    EXPECT_EQ(applyPodsitir("Envio_no___004987654321.pdf", "pdf").kind, Kind::NoMarker);
}

TEST(FormatoateneFilter, OnlyAFormatoateneSlotFilters) {
    EXPECT_TRUE(passesFormatoateneFilter("invoice.pdf", QString(), "ABCD"));
    EXPECT_FALSE(passesFormatoateneFilter("invoice.pdf", "FORMATOATENE", QString()));
}

TEST(FormatoateneFilter, WithoutPrefixesSixteenCharactersWithANumberPass) {
    EXPECT_TRUE(passesFormatoateneFilter("ABCD12345678.pdf", "FORMATOATENE", QString()));
    EXPECT_TRUE(passesFormatoateneFilter("WXYZ12345678.tif", "FORMATOATENE", QString()));
    EXPECT_FALSE(passesFormatoateneFilter("ABCD1234567.pdf", "FORMATOATENE", QString()));
    EXPECT_FALSE(passesFormatoateneFilter("ABCD123456789.pdf", "FORMATOATENE", QString()));
    EXPECT_FALSE(passesFormatoateneFilter("ABCD1234567X.pdf", "FORMATOATENE", QString()));
    EXPECT_TRUE(passesFormatoateneFilter(kEmoji + "BCD12345678.pdf", "FORMATOATENE", QString()));
}

TEST(FormatoateneFilter, WithPrefixesOnlyListedPrefixesPass) {
    const QString prefixes = "ABCD; WXYZ;";
    EXPECT_TRUE(passesFormatoateneFilter("ABCD12345678.pdf", "FORMATOATENE", prefixes));
    EXPECT_TRUE(passesFormatoateneFilter("WXYZ12345678.pdf", "FORMATOATENE", prefixes));
    EXPECT_FALSE(passesFormatoateneFilter("EFGH12345678.pdf", "FORMATOATENE", prefixes));
    EXPECT_FALSE(passesFormatoateneFilter("abcd12345678.pdf", "FORMATOATENE", prefixes));
    // A listed prefix does not excuse a name of the wrong form.
    EXPECT_FALSE(passesFormatoateneFilter("ABCD1234567X.pdf", "FORMATOATENE", prefixes));
}

TEST_F(KindsPass, PodsitirSlotDeliversRenamesRejectsAndSkips) {
    configure("PODSITIR");
    drop("POD__ABCDEF005123456.pdf", "first");
    drop(kEnvioMarker + "004987654321.PDF", "second");
    drop("POD_004111222.pdf", "third");
    drop("POD__ABCDEF009123456.pdf");
    drop("invoice.pdf");
    drop("pod__abcdef005999999.pdf");  // not the first name in capitals: one file where case is blind
    pass();

    EXPECT_EQ(delivered(), QStringList({"POD_004111222.pdf", "POD_004987654.PDF", "POD_005123456.pdf"}));
    EXPECT_EQ(tree.read("out/POD_005123456.pdf"), "first");
    EXPECT_EQ(tree.read("out/POD_004987654.PDF"), "second");
    EXPECT_EQ(inputFiles(),
              QStringList({"POD__ABCDEF009123456.pdf", "invoice.pdf", "pod__abcdef005999999.pdf"}));
    EXPECT_EQ(messagesStartingWith(" PODSITIR"),
              QStringList({" PODSITIR non copiato: nome non valido " + in + "POD__ABCDEF009123456.pdf"}));
    EXPECT_EQ(records().size(), 3u);
}

TEST_F(KindsPass, PodsitirRejectLeavesTheDateFoldersMadeForIt) {
    configure("PODSITIR;CREA:AA/MM;");
    drop("POD__ABCDEF009123456.pdf");
    const QDateTime created = createdAt("POD__ABCDEF009123456.pdf");
    pass();
    EXPECT_TRUE(QDir(out + formatDate(created, DatePattern::YY) + "/" + formatDate(created, DatePattern::MM))
                    .exists());
    EXPECT_EQ(inputFiles(), QStringList({"POD__ABCDEF009123456.pdf"}));
}

TEST_F(KindsPass, FormatoateneSlotTakesOnlyConfiguredPrefixes) {
    configure("FORMATOATENE", "formatoatene_prefissi=ABCD\r\n");
    drop("ABCD12345678.pdf");
    drop("WXYZ12345678.pdf");
    drop("ABCD1234567X.pdf");
    pass();
    EXPECT_EQ(delivered(), QStringList({"ABCD12345678.pdf"}));
    EXPECT_EQ(inputFiles(), QStringList({"ABCD1234567X.pdf", "WXYZ12345678.pdf"}));
}

TEST_F(KindsPass, FormatoateneSlotWithoutPrefixesTakesEveryWellFormedName) {
    configure("FORMATOATENE");
    drop("ABCD12345678.pdf");
    drop("WXYZ12345678.pdf");
    drop("short.pdf");
    pass();
    EXPECT_EQ(delivered(), QStringList({"ABCD12345678.pdf", "WXYZ12345678.pdf"}));
    EXPECT_EQ(inputFiles(), QStringList({"short.pdf"}));
}

TEST_F(KindsPass, SolologFilesStayAndAreRecordedAtEveryPass) {
    // The FORMATOATENE marker needs the whole text: this is a SOLOLOG slot and nothing else.
    configure("SOLOLOG;FORMATOATENE", "formatoatene_prefissi=ABCD\r\n");
    frontend.operatorCodeText = "OP7";
    const QStringList names{"a.pdf", "b.pdf", "c d.pdf"};
    for (const QString& name : names)
        drop(name);
    pass();
    pass();

    EXPECT_EQ(inputFiles(), names);
    EXPECT_TRUE(delivered().isEmpty());
    EXPECT_EQ(messagesStartingWith(" Elaborati : "), QStringList({" Elaborati : 3", " Elaborati : 3"}));
    EXPECT_TRUE(messagesStartingWith(" File elaborato").isEmpty());
    const std::vector<QStringList> lines = records();
    ASSERT_EQ(lines.size(), 6u);
    QStringList recordedNames;
    for (const QStringList& fields : lines) {
        ASSERT_EQ(fields.size(), 8);
        const QDateTime created = createdAt(fields[0]);
        EXPECT_EQ(fields, QStringList({fields[0], in, "", formatDate(created, DatePattern::YYYYMMDD),
                                       formatDate(created, DatePattern::HHMMSS), "OP7", "", in}));
        recordedNames << fields[0];
    }
    recordedNames.sort();
    EXPECT_EQ(recordedNames, QStringList({"a.pdf", "a.pdf", "b.pdf", "b.pdf", "c d.pdf", "c d.pdf"}));
}

TEST_F(KindsPass, DocliberoNamesCutALongBaseAndRecordTheSourceName) {
    configure("DOCLIBERO");
    const QString base = "Verbale assemblea condominio via Roma 12";
    ASSERT_EQ(base.size(), 40);
    drop(base + ".pdf");
    const QDateTime created = createdAt(base + ".pdf");
    pass();

    const QString expected =
        "Verbale_assemblea_condominio_v_" + formatDate(created, DatePattern::YYMMDDHHSS) + ".pdf";
    EXPECT_EQ(delivered(), QStringList({expected}));
    const std::vector<QStringList> lines = records();
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_EQ(lines[0].size(), 9);
    EXPECT_EQ(lines[0][0], expected);
    EXPECT_EQ(lines[0][6], base + ".pdf");
    EXPECT_EQ(lines[0][8], "");
}

TEST_F(KindsPass, AbbinNamesAreTimeStampedAndRecordTheirValue) {
    configure("abbin:X12;");
    drop("my scan.PDF");
    const QDateTime created = createdAt("my scan.PDF");
    pass();

    const QString expected = "my_scan_" + formatDate(created, DatePattern::YYMMDDHHSS) + ".PDF";
    EXPECT_EQ(delivered(), QStringList({expected}));
    const std::vector<QStringList> lines = records();
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_EQ(lines[0].size(), 9);
    EXPECT_EQ(lines[0][6], "");  // NOME ORIGINALE is for DOCLIBERO slots only
    EXPECT_EQ(lines[0][8], "X12");
}

TEST_F(KindsPass, SihsitNamesLoseTheirDashes) {
    configure("SIHSIT");
    drop("ST-0001234567890-BC.pdf");
    pass();
    EXPECT_EQ(delivered(), QStringList({"ST_0001234567890_BC.pdf"}));
}

TEST_F(KindsPass, DircgdReplacesTheDestinationRootInTheRecord) {
    const QString cgd = tree.path("cgd");  // without the separator: the pass appends it
    configure("DIRCGD=" + cgd + ";CREA:AA/MM;");
    drop("report.pdf");
    const QDateTime created = createdAt("report.pdf");
    pass();

    const QString dated =
        formatDate(created, DatePattern::YY) + "/" + formatDate(created, DatePattern::MM) + "/";
    EXPECT_EQ(delivered(dated), QStringList({"report.pdf"}));
    const std::vector<QStringList> lines = records();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0][1], QDir::toNativeSeparators(cgd + "/" + dated));
}
