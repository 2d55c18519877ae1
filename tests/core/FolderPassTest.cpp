// Folder passes over slot 0, one scenario a row: what is filed where under which name, what
// stays, the lines and the record lines; the special kinds of slot; the scan driver's choices.

#include "support/PassScenario.h"

using namespace dokivo;
using namespace dokivo::test;

TEST_P(PassScenario, LeavesWhatItSays) {
    runScenario(GetParam());
}

namespace {

const QString kRecordOf = QStringLiteral("dokivolog05140307_");  // the fake clock: 5 March, 14:03:07

const Scenario kFiling[] = {
    {"the road of one document",
     {"dir_backup_0={bak}", "dir_nazionale_0=CREA:AA/MM/GG;"},
     {{.drop = {"in/Scan 01.pdf=%PDF-1.4 the document"},
       .arrange = [](PassTree& t) { t.frontend.operatorCodeText = "ABC"; },
       .files = {"bak/Scan_01.pdf=%PDF-1.4 the document", "out/{YY}/{MM}/{DD}/Scan_01.pdf=%PDF-1.4 the document",
                 "!in/Scan 01.pdf", "log/=" + kRecordOf + "1.txt"},
       .lines = {" Lettura cartella pricipale {in}", " Inizio lettura contenuto : {in}",
                 " File : Scan 01.pdf pospunto 8", " Copiato {in}Scan 01.pdf nella dir di backup {bak}Scan_01.pdf",
                 " Copiato {in}Scan 01.pdf  nella dir di destinazione {out}{YY}/{MM}/{DD}/Scan_01.pdf",
                 " File elaborato : {in}Scan 01.pdf", " Fine lettura contenuto : {in}", " Elaborati : 1"},
       .onlyLines = true,
       .records = {"Scan_01.pdf\t{out}{YY}/{MM}/{DD}/\t\t{YYYYMMDD}\t{HHMMSS}\tABC\t\t{in}\t"}}}},
    {"the record holds the reception date, a DOCLIBERO source name, the ABBIN value and the DIRCGD root",
     {},
     {{.drop = {"in/my scan.pdf=x"},
       .arrange =
           [](PassTree& t) {
               t.frontend.receptionDateText = "07/12/2026";
               t.set("dir_nazionale_0=DOCLIBERO;ABBIN:X12;DIRCGD=" + t.tree.path("cgd") + ";CREA:AA/MM;");
           },
       .files = {"out/{YY}/{MM}/my_scan_{YYMMDDHHSS}.pdf=x"},
       .records = {"my_scan_{YYMMDDHHSS}.pdf\t{cgd}{YY}/{MM}/\t20261207\t{YYYYMMDD}\t{HHMMSS}\t\tmy scan.pdf\t{in}\tX12"}}}},
    {"an ABBIN slot in small letters stamps the name and records no source name",
     {"dir_nazionale_0=abbin:X12;"},
     {{.drop = {"in/my scan.PDF=x"},
       .files = {"out/=my_scan_{YYMMDDHHSS}.PDF"},
       .records = {"my_scan_{YYMMDDHHSS}.PDF\t{out}\t\t{YYYYMMDD}\t{HHMMSS}\t\t\t{in}\tX12"}}}},
    {"an empty folder writes no record file",
     {},
     {{.files = {"app/=", "log/="},
       .lines = {" Lettura cartella pricipale {in}", " Inizio lettura contenuto : {in}",
                 " Fine lettura contenuto : {in}", " Elaborati : 0"},
       .onlyLines = true}}},
    {"names the control rule or the extension refuse stay and are not counted",
     {"inizio_car_controllo_0=1", "fine_car_controllo_0=2", "car_controllo_0=ok"},
     {{.drop = {"in/CRIPTATO.PDF=", "in/OK_noext=", "in/OK.txt=", "in/no.pdf=", "in/ok.pdf=x"},
       .files = {"in/=CRIPTATO.PDF|OK_noext|OK.txt|no.pdf", "out/=ok.pdf"},
       .lines = {" File : OK.txt pospunto 3", " File : OK_noext pospunto 0", " File : ok.pdf pospunto 3",
                 "! File : no.pdf", "! File : CRIPTATO", " Elaborati : 1"},
       .records = {"ok.pdf\t**"}}}},
    {"a duplicate goes to the duplicates folder without a record line and crash leftovers go",
     {"dir_backup_0={bak}", "dir_doppioni_0={dup}"},
     {{.drop = {"out/Taken.pdf=the filed one", "in/Taken.pdf=the new one", "in/Fresh.pdf=fresh",
                "in/{tmp}=half", "out/{tmp}=half", "bak/{tmp}=half", "dup/{tmp}=half"},
       .files = {"in/=", "out/=Fresh.pdf|Taken.pdf", "out/Taken.pdf=the filed one", "dup/=Taken.pdf",
                 "dup/Taken.pdf=the new one", "bak/=Fresh.pdf|Taken.pdf", "bak/Taken.pdf=the new one"},
       .lines = {" Copiato {in}Taken.pdf  nella dir dei file gia' esistenti {dup} in quanto gia' esistente "
                 "{out}Taken.pdf",
                 " Elaborati : 2"},
       .records = {"Fresh.pdf\t**"}}}},
    {"a later different document takes a numbered name in the backup and duplicates folders",
     {"dir_backup_0={bak}", "dir_doppioni_0={dup}"},
     {{.drop = {"out/Scan_01.pdf=first", "in/Scan 01.pdf=second"},
       .files = {"dup/Scan_01.pdf=second", "bak/Scan_01.pdf=second"}},
      {.drop = {"in/Scan 01.pdf=third"}, .files = {"dup/Scan_01 (2).pdf=third", "bak/Scan_01 (2).pdf=third"}},
      {.drop = {"in/Scan 01.pdf=third"}, .files = {"dup/=Scan_01.pdf|Scan_01 (2).pdf", "bak/=Scan_01.pdf|Scan_01 (2).pdf"}},
      {.drop = {"in/Scan 01.pdf=fourth"},
       .files = {"dup/=Scan_01.pdf|Scan_01 (2).pdf|Scan_01 (3).pdf", "bak/=Scan_01.pdf|Scan_01 (2).pdf|Scan_01 (3).pdf",
                 "dup/Scan_01 (3).pdf=fourth", "dup/Scan_01.pdf=second", "out/Scan_01.pdf=first"},
       .lines = {" Copiato {in}Scan 01.pdf nella dir di backup {bak}Scan_01 (3).pdf",
                 " Copiato {in}Scan 01.pdf  nella dir dei file gia' esistenti {dup}Scan_01 (3).pdf in quanto gia' "
                 "esistente {out}Scan_01.pdf"}}}},
    {"without a duplicates folder the destination is replaced and recorded",
     {},
     {{.drop = {"out/Taken.pdf=the filed one", "in/Taken.pdf=the new one"},
       .files = {"out/Taken.pdf=the new one"},
       .lines = {" Copiato {in}Taken.pdf  nella dir di destinazione {out}Taken.pdf"},
       .records = {"Taken.pdf\t**"}}}},
    {"a copy failing on the third of five files ends the folder there",
     {"dir_backup_0={bak}"},
     {{.drop = {"in/a.pdf=a", "in/b.pdf=b", "in/c.pdf=c", "in/d.pdf=d", "in/e.pdf=e"},
       .arrange =
           [](PassTree& t) {
               for (const auto& file : platform::listRegularFiles(t.tree.path("in")))
                   t.notes << file.name;
               t.tree.folder("bak/" + t.notes[2]);  // a folder stands where the third backup copy goes
           },
       .files = {"!bak/{tmp}"},
       .lines = {"~ Lettura Cartella 27 ", "!Fine lettura contenuto"},
       .records = {"**", "**"},
       .check =
           [](PassTree& t) {
               for (int i = 0; i < 5; ++i) {
                   EXPECT_EQ(t.tree.exists("in/" + t.notes[i]), i >= 2) << t.notes[i];
                   EXPECT_EQ(t.tree.exists("out/" + t.notes[i]), i < 2) << t.notes[i];
               }
               EXPECT_GT(t.frontend.refreshes, 0);
           }}}},
    {"a missing backup folder fails the copy and keeps the source",
     {"dir_backup_0={nobak}"},
     {{.drop = {"in/a.pdf=a"}, .files = {"in/a.pdf=a", "out/=", "log/="}, .lines = {"~ Lettura Cartella 27 76 "}}}},
    {"a destination that is the input folder never deletes the document",
     {"dir_out_0={in}"},
     {{.drop = {"in/doc.pdf=precious"}, .files = {"in/=doc.pdf", "in/doc.pdf=precious"}, .lines = {"~ Lettura Cartella 28 70 "}}}},
    {"the run flag shows the summary box and the timer flag the summary line",
     {},
     {{.drop = {"in/a.pdf=a"},
       .arrange = [](PassTree& t) { t.m().flags.run_flag = t.m().flags.timer_flag = "y"; },
       .lines = {" Elaborati 1 file  Origine {in} Destinazione {out}"},
       .records = {"a.pdf\t**"},
       .check =
           [](PassTree& t) {
               EXPECT_EQ(t.frontend.messages, QStringList{t.expand("Elaborati 1 file PDF\r\nOrigine {in}\r\nDestinazione {out}")});
           }}}},
    {"record file names count up and never replace an earlier file",
     {},
     {{.drop = {"in/a.pdf=a"}, .files = {"log/=" + kRecordOf + "1.txt"}, .records = {"a.pdf\t**"}},
      {.drop = {"in/b.pdf=b"},
       .files = {"log/=" + kRecordOf + "1.txt|" + kRecordOf + "2.txt"},
       .records = {"a.pdf\t**", "b.pdf\t**"}},
      {.drop = {"in/c.pdf=c"},
       .arrange = [](PassTree& t) { t.m().record_file_counter = 0; },  // a restart within the same second
       .files = {"log/=" + kRecordOf + "1.txt|" + kRecordOf + "2.txt|" + kRecordOf + "3.txt"},
       .records = {"a.pdf\t**", "b.pdf\t**", "c.pdf\t**"}}}},
};
INSTANTIATE_TEST_SUITE_P(Filing, PassScenario, ::testing::ValuesIn(kFiling), scenarioName);

const QString kPodReject = QStringLiteral("POD__ABCDEF009123456.pdf");
const QString kSolologA = QStringLiteral("a.pdf\t{in}\t\t{YYYYMMDD}\t*\tOP7\t\t{in}");
const QString kSolologCD = QStringLiteral("c d.pdf\t{in}\t\t{YYYYMMDD}\t*\tOP7\t\t{in}");
const Scenario kSpecialKinds[] = {
    {"a PODSITIR slot renames marked names and leaves the rest",
     {"dir_nazionale_0=PODSITIR"},
     {{.drop = {"in/POD__ABCDEF005123456.pdf=first", QString::fromUtf8("in/Envio_nº___004987654321.PDF=second"),
                "in/POD_004111222.pdf=third", "in/" + kPodReject + "=", "in/invoice.pdf=",
                "in/pod__abcdef005999999.pdf="},
       .files = {"out/=POD_004111222.pdf|POD_004987654.PDF|POD_005123456.pdf", "out/POD_005123456.pdf=first",
                 "out/POD_004987654.PDF=second", "in/=" + kPodReject + "|invoice.pdf|pod__abcdef005999999.pdf"},
       .lines = {" PODSITIR non copiato: nome non valido {in}" + kPodReject, "!nome non valido {in}invoice"},
       .records = {"POD_004111222.pdf\t**", "POD_004987654.PDF\t**", "POD_005123456.pdf\t**"}}}},
    {"a PODSITIR reject leaves the date folders made for it",
     {"dir_nazionale_0=PODSITIR;CREA:AA/MM;"},
     {{.drop = {"in/" + kPodReject + "="}, .files = {"out/{YY}/{MM}/=", "in/=" + kPodReject}}}},
    {"a FORMATOATENE slot takes only the configured prefixes",
     {"dir_nazionale_0=FORMATOATENE", "formatoatene_prefissi=ABCD"},
     {{.drop = {"in/ABCD12345678.pdf=", "in/WXYZ12345678.pdf=", "in/ABCD1234567X.pdf="},
       .files = {"out/=ABCD12345678.pdf", "in/=ABCD1234567X.pdf|WXYZ12345678.pdf"},
       .records = {"ABCD12345678.pdf\t**"}}}},
    {"a FORMATOATENE slot without prefixes takes every well formed name",
     {"dir_nazionale_0=FORMATOATENE"},
     {{.drop = {"in/ABCD12345678.pdf=", "in/WXYZ12345678.pdf=", "in/short.pdf="},
       .files = {"out/=ABCD12345678.pdf|WXYZ12345678.pdf", "in/=short.pdf"},
       .records = {"ABCD12345678.pdf\t**", "WXYZ12345678.pdf\t**"}}}},
    {"SOLOLOG files stay and are recorded at every pass",
     {"dir_nazionale_0=SOLOLOG;FORMATOATENE", "formatoatene_prefissi=ABCD"},  // FORMATOATENE needs the whole text
     {{.drop = {"in/a.pdf=", "in/c d.pdf="},
       .arrange = [](PassTree& t) { t.frontend.operatorCodeText = "OP7"; },
       .files = {"in/=a.pdf|c d.pdf", "out/="},
       .lines = {" Elaborati : 2", "! File elaborato"},
       .records = {kSolologA, kSolologCD}},
      {.files = {"in/=a.pdf|c d.pdf"}, .lines = {" Elaborati : 2"}, .records = {kSolologA, kSolologCD, kSolologA, kSolologCD}}}},
    {"SIHSIT names lose their dashes",
     {"dir_nazionale_0=SIHSIT"},
     {{.drop = {"in/ST-0001234567890-BC.pdf="}, .files = {"out/=ST_0001234567890_BC.pdf"}, .records = {"**"}}}},
};
INSTANTIATE_TEST_SUITE_P(SpecialKinds, PassScenario, ::testing::ValuesIn(kSpecialKinds), scenarioName);

const Scenario kDriver[] = {
    {"slots without an input or a log folder are passed by without a line",
     {"dir_in_0", "dir_in_2={in}", "dir_out_2={out}"},
     {{.drop = {"in/a.pdf="}, .files = {"in/a.pdf"}, .onlyLines = true}}},
    {"a missing folder gives one line and the next slot still runs",
     {"dir_out_0={missing}", "dir_in_1={in1}", "dir_out_1={out1}", "dir_log_1={log1}"},
     {{.drop = {"in1/", "out1/", "log1/"},
       .lines = {" Non riesco ad accedere ad una delle tre dir {in} {missing} {log}", " Lettura cartella pricipale {in1}",
                 " Inizio lettura contenuto : {in1}", " Fine lettura contenuto : {in1}", " Elaborati : 0"},
       .onlyLines = true}}},
    {"the standard password line opens the pass when no password file exists",
     {"dir_in_0", "dir_pwd={pwd}", "gestione_pwd_4=1"},
     {{.lines = {" Applico password standard"}, .onlyLines = true}}},
    {"subfolders go to the root or to their own destination folder",
     {"gestione_dir_0=1", "gestione_dir_out_0=0"},
     {{.drop = {"in/A/one.pdf=1", "in/A/B/deeper.pdf=2"},
       .files = {"out/one.pdf=1", "in/A/B/deeper.pdf"},  // subfolders of subfolders are not visited
       .lines = {" lettura Sotto Cartella A", "~ Inizio lettura contenuto : {in}A/"},
       .records = {"one.pdf\t**"}},
      {.drop = {"in/A/two.pdf=2"},
       .arrange = [](PassTree& t) { t.set("gestione_dir_out_0=1"); },
       .files = {"out/A/two.pdf=2"},
       .records = {"one.pdf\t**", "two.pdf\t**"}}}},
    {"without the subfolder switch no subfolder is visited",
     {"gestione_dir_0=0"},
     {{.drop = {"in/A/one.pdf="}, .files = {"in/A/one.pdf"}, .lines = {"!Sotto Cartella"}}}},
    {"a start while a pass runs is ignored",
     {},
     {{.drop = {"in/a.pdf="},
       .arrange = [](PassTree& t) { t.m().pass_running = true; },
       .files = {"in/a.pdf"},
       .onlyLines = true},
      {.arrange = [](PassTree& t) { t.m().pass_running = false; },
       .files = {"!in/a.pdf"},
       .records = {"a.pdf\t**"},
       .check = [](PassTree& t) { EXPECT_FALSE(t.m().pass_running); }}}},
    {"a close asked for during the pass is carried out when it ends",
     {},
     {{.arrange = [](PassTree& t) { t.m().close_pending = true; },
       .check = [](PassTree& t) { EXPECT_TRUE(t.frontend.closeRequested); }}}},
    {"more than 500 lines are flushed at the end of the pass",
     {},
     {{.arrange =
           [](PassTree& t) {
               for (int i = 0; i < 497; ++i)  // and four of the pass
                   t.m().addLine(" riga");
           },
       .check =
           [](PassTree& t) {
               EXPECT_EQ(t.m().operations.size(), 0);
               EXPECT_EQ(t.tree.read("track/" + kTrackingFileName).count("\r\n"), 501);
           }}}},
};
INSTANTIATE_TEST_SUITE_P(Driver, PassScenario, ::testing::ValuesIn(kDriver), scenarioName);

}  // namespace
