// Folder passes over slot 0, one scenario a row (the form is told in support/PassScenario.h):
// what is filed where under which name, what stays, the lines and the record lines; the special
// kinds of slot; the scan driver's choices.

#include "support/PassScenario.h"

using namespace dokivo;
using namespace dokivo::test;

TEST_P(PassScenario, LeavesWhatItSays) {
    runScenario(GetParam());
}

namespace {

const Scenario kFiling[] = {
    // Without the subfolder switch no subfolder is visited; the run flag shows the summary box
    // and the timer flag adds the summary line.
    // The fake clock says 5 March, 14:03:07.
    {"the road of one document",
     {"@dir_backup_0={bak}", "@dir_nazionale_0=CREA:AA/MM/GG;", "+in/Scan 01.pdf=%PDF-1.4 the document",
      "+in/A/one.pdf=", "bak/Scan_01.pdf=%PDF-1.4 the document",
      "out/{YY}/{MM}/{DD}/Scan_01.pdf=%PDF-1.4 the document", "!in/Scan 01.pdf",
      "log/=dokivolog05140307_1.txt", ">>", "> Lettura cartella pricipale {in}",
      "> Inizio lettura contenuto : {in}", "> File : Scan 01.pdf pospunto 8",
      "> Copiato {in}Scan 01.pdf nella dir di backup {bak}Scan_01.pdf",
      "> Copiato {in}Scan 01.pdf  nella dir di destinazione {out}{YY}/{MM}/{DD}/Scan_01.pdf",
      "> File elaborato : {in}Scan 01.pdf", "> Fine lettura contenuto : {in}", "> Elaborati : 1",
      "> Elaborati 1 file  Origine {in} Destinazione {out}",
      "#Scan_01.pdf\t{out}{YY}/{MM}/{DD}/\t\t{YYYYMMDD}\t{HHMMSS}\tABC\t\t{in}\t"},
     [](PassTree& t) {
         t.frontend.operatorCodeText = "ABC";
         t.m().flags.run_flag = t.m().flags.timer_flag = "y";
     },
     [](PassTree& t) {
         EXPECT_EQ(t.frontend.messages,
                   QStringList{t.expand("Elaborati 1 file PDF\r\nOrigine {in}\r\nDestinazione {out}")});
     }},
    {"the record holds the reception date, a DOCLIBERO source name, the ABBIN value and the DIRCGD root",
     {"+in/my scan.pdf=x", "out/{YY}/{MM}/my_scan_{YYMMDDHHSS}.pdf=x",
      "#my_scan_{YYMMDDHHSS}.pdf\t{cgd}{YY}/{MM}/\t20261207\t{YYYYMMDD}\t{HHMMSS}\t\tmy scan.pdf\t{in}\tX12"},
     [](PassTree& t) {
         t.frontend.receptionDateText = "07/12/2026";
         t.set("dir_nazionale_0=DOCLIBERO;ABBIN:X12;DIRCGD=" + t.tree.path("cgd") + ";CREA:AA/MM;");
     }},
    {"an ABBIN slot in small letters stamps the name and records no source name",
     {"@dir_nazionale_0=abbin:X12;", "+in/my scan.PDF=x", "out/=my_scan_{YYMMDDHHSS}.PDF",
      "#my_scan_{YYMMDDHHSS}.PDF\t{out}\t\t{YYYYMMDD}\t{HHMMSS}\t\t\t{in}\tX12"}},
    {"names the control rule or the extension refuse stay and are not counted",
     {"@inizio_car_controllo_0=1", "@fine_car_controllo_0=2", "@car_controllo_0=ok",
      "+in/CRIPTATO.PDF=", "+in/OK_noext=", "+in/OK.txt=", "+in/no.pdf=", "+in/ok.pdf=x",
      "in/=CRIPTATO.PDF|OK_noext|OK.txt|no.pdf", "out/=ok.pdf", "> File : OK.txt pospunto 3",
      "> File : OK_noext pospunto 0", "> File : ok.pdf pospunto 3", ">! File : no.pdf", ">! File : CRIPTATO",
      "> Elaborati : 1", "#ok.pdf\t**"}},
    {"a duplicate goes unrecorded to the duplicates folder, a later one under a numbered name, and crash "
     "leftovers go",
     {"@dir_backup_0={bak}", "@dir_doppioni_0={dup}", "+out/Scan_01.pdf=first", "+in/Scan 01.pdf=second",
      "+in/{tmp}=half", "+out/{tmp}=half", "+bak/{tmp}=half", "+dup/{tmp}=half", "in/=", "out/=Scan_01.pdf",
      "dup/=Scan_01.pdf", "dup/Scan_01.pdf=second", "bak/=Scan_01.pdf", "bak/Scan_01.pdf=second",
      "> Elaborati : 1"},
     {},
     {},
     {{{"+in/Scan 01.pdf=third", "dup/Scan_01 (2).pdf=third", "bak/Scan_01 (2).pdf=third",
        "dup/Scan_01.pdf=second", "out/Scan_01.pdf=first",
        "> Copiato {in}Scan 01.pdf nella dir di backup {bak}Scan_01 (2).pdf",
        "> Copiato {in}Scan 01.pdf  nella dir dei file gia' esistenti {dup}Scan_01 (2).pdf in quanto gia' "
        "esistente {out}Scan_01.pdf"}},
      {{"+in/Scan 01.pdf=third", "dup/=Scan_01.pdf|Scan_01 (2).pdf", "bak/=Scan_01.pdf|Scan_01 (2).pdf"}}}},
    {"without a duplicates folder the destination is replaced and recorded",
     {"+out/Taken.pdf=the filed one", "+in/Taken.pdf=the new one", "out/Taken.pdf=the new one",
      "> Copiato {in}Taken.pdf  nella dir di destinazione {out}Taken.pdf", "#Taken.pdf\t**"}},
    {"a copy failing on the third of five files ends the folder there",
     {"@dir_backup_0={bak}", "+in/a.pdf=a", "+in/b.pdf=b", "+in/c.pdf=c", "+in/d.pdf=d", "+in/e.pdf=e",
      ">~ Lettura Cartella 27 ", ">!Fine lettura contenuto", "#**", "#**"},
     [](PassTree& t) {
         for (const auto& file : platform::listRegularFiles(t.tree.path("in")))
             t.notes << file.name;
         t.tree.folder("bak/" + t.notes[2]);  // a folder stands where the third backup copy goes
     },
     [](PassTree& t) {
         for (int i = 0; i < 5; ++i) {
             EXPECT_EQ(t.tree.exists("in/" + t.notes[i]), i >= 2) << t.notes[i];
             EXPECT_EQ(t.tree.exists("out/" + t.notes[i]), i < 2) << t.notes[i];
         }
         EXPECT_GT(t.frontend.refreshes, 0);
     }},
    {"a destination that is the input folder never deletes the document",
     {"@dir_out_0={in}", "+in/doc.pdf=precious", "in/=doc.pdf", "in/doc.pdf=precious",
      ">~ Lettura Cartella 28 70 "}},
    // Then another installation sharing the log folder has handed over a record file of that name.
    {"record file names count up and never replace an earlier file here or in the log folder",
     {"+in/a.pdf=a", "log/=dokivolog05140307_1.txt", "#a.pdf\t**"},
     {},
     {},
     {{{"+in/b.pdf=b", "log/=dokivolog05140307_1.txt|dokivolog05140307_2.txt", "#a.pdf\t**", "#b.pdf\t**"},
       [](PassTree& t) { t.m().record_file_counter = 0; }},  // a restart within the same second
      {{"+in/c.pdf=c", "+log/dokivolog05140307_3.txt=theirs", "log/dokivolog05140307_3.txt=theirs",
        "log/dokivolog05140307_3 (2).txt=~c.pdf\t", "#a.pdf\t**", "#b.pdf\t**", "#c.pdf\t**"}}}},
};
INSTANTIATE_TEST_SUITE_P(Filing, PassScenario, ::testing::ValuesIn(kFiling), scenarioName);

const QString kSololog = QStringLiteral("\t{in}\t\t{YYYYMMDD}\t*\tOP7\t\t{in}");
const Scenario kSpecialKinds[] = {
    {"a PODSITIR reject leaves the date folders made for it",
     {"@dir_nazionale_0=PODSITIR;CREA:AA/MM;",
      "+in/POD__ABCDEF009123456.pdf=", "out/{YY}/{MM}/=", "in/=POD__ABCDEF009123456.pdf"}},
    {"a FORMATOATENE slot takes only the configured prefixes",
     {"@dir_nazionale_0=FORMATOATENE", "@formatoatene_prefissi=ABCD", "+in/ABCD12345678.pdf=",
      "+in/WXYZ12345678.pdf=", "out/=ABCD12345678.pdf", "in/=WXYZ12345678.pdf", "#ABCD12345678.pdf\t**"}},
    {"SOLOLOG files stay and are recorded at every pass",  // FORMATOATENE needs the whole text
     {"@dir_nazionale_0=SOLOLOG;FORMATOATENE", "@formatoatene_prefissi=ABCD",
      "+in/a.pdf=", "+in/c d.pdf=", "in/=a.pdf|c d.pdf", "out/=", "> Elaborati : 2", ">! File elaborato",
      "#a.pdf" + kSololog, "#c d.pdf" + kSololog},
     [](PassTree& t) { t.frontend.operatorCodeText = "OP7"; },
     {},
     {{{"in/=a.pdf|c d.pdf", "> Elaborati : 2", "#a.pdf" + kSololog, "#c d.pdf" + kSololog,
        "#a.pdf" + kSololog, "#c d.pdf" + kSololog}}}},
    {"SIHSIT names lose their dashes",
     {"@dir_nazionale_0=SIHSIT", "+in/ST-0001234567890-BC.pdf=", "out/=ST_0001234567890_BC.pdf", "#**"}},
};
INSTANTIATE_TEST_SUITE_P(SpecialKinds, PassScenario, ::testing::ValuesIn(kSpecialKinds), scenarioName);

const Scenario kDriver[] = {
    {"slots without an input or a log folder are passed by without a line after the standard password line",
     {"@dir_in_0", "@dir_in_2={in}", "@dir_out_2={out}", "@dir_pwd={pwd}", "@gestione_pwd_4=1",
      "+in/a.pdf=", "in/a.pdf", ">>", "> Applico password standard"}},
    {"a missing folder gives one line and the next slot still runs, empty, writing no record file",
     {"@dir_out_0={missing}", "@dir_in_1={in1}", "@dir_out_1={out1}", "@dir_log_1={log1}", "+in1/", "+out1/",
      "+log1/", "app/=", "log1/=", ">>", "> Non riesco ad accedere ad una delle tre dir {in} {missing} {log}",
      "> Lettura cartella pricipale {in1}", "> Inizio lettura contenuto : {in1}",
      "> Fine lettura contenuto : {in1}", "> Elaborati : 0"}},
    // Each line and record naming the folder would break; the folders need not exist.
    {"a slot whose folder path holds a tab or a line break is not served and the next slot is looked at",
     {"@dir_out_0={out\tB}", "@dir_in_1={in1}", "@dir_out_1={out1}", "@dir_log_1={log1}",
      "@dir_nazionale_1=DIRCGD={arch\rB};", "+in/a.pdf=a", "+in1/b.pdf=b", "+out1/", "+log1/", "in/a.pdf=a",
      "in1/b.pdf=b", "app/=", ">>",
      "> Slot 0 non elaborato: il percorso in dir_out_0 contiene una tabulazione o un a capo : "
      "{tree}out<TAB>B/",
      "> Slot 1 non elaborato: il percorso in dir_nazionale_1 contiene una tabulazione o un a capo : "
      "{tree}arch<CR>B/"}},
    {"subfolders go to the root or to their own destination folder",  // not their subfolders
     {"@gestione_dir_0=1", "@gestione_dir_out_0=0", "+in/A/one.pdf=1", "+in/A/B/deeper.pdf=2",
      "out/one.pdf=1", "in/A/B/deeper.pdf", "> lettura Sotto Cartella A",
      ">~ Inizio lettura contenuto : {in}A/", "#one.pdf\t**"},
     {},
     {},
     {{{"@gestione_dir_out_0=1", "+in/A/two.pdf=2", "out/A/two.pdf=2", "#one.pdf\t**", "#two.pdf\t**"}}}},
    {"codes are read anywhere in any letter case FORMATOATENE only as the whole text and none carries over",
     {"@dir_nazionale_0=x;abbin:A1;podsitir", "@dir_nazionale_1=formatoatene", "@formatoatene_prefissi=ABCD",
      "@dir_in_1={in1}", "@dir_out_1={out1}", "@dir_log_1={log1}", "+in/x.pdf=x", "+in1/x.pdf=x", "+out1/",
      "+log1/", "in/x.pdf=x", "out1/x.pdf=x", "#x.pdf\t**"}},
    {"a close asked for during the pass is carried out when it ends",
     {},
     [](PassTree& t) { t.m().close_pending = true; },
     [](PassTree& t) { EXPECT_TRUE(t.frontend.closeRequested); }},
};
INSTANTIATE_TEST_SUITE_P(Driver, PassScenario, ::testing::ValuesIn(kDriver), scenarioName);

}  // namespace
