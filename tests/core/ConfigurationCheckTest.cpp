#include "app/ConfigurationCheck.h"
#include "support/PassScenario.h"

using namespace dokivo;
using namespace dokivo::test;

namespace {

// Slot 0 complete, changed by a row's INI lines and arrangement; {name} as in the scenarios.
struct Row {
    const char* what;
    QStringList ini;
    QStringList problems;
    Hook arrange = {};
};

const QString kTakenAgain =
    QStringLiteral(" coincide con la cartella di ingresso: cio' che vi si scrive verrebbe ripreso");

const Row kRows[] = {
    {"a complete slot, a known layout, a trimmed extension, an offered period",
     {"dir_nazionale_0=PODSITIR;CREA:AA/MM/GG;", "estensione_0= TIF ", "timer_delta=1 minuto"},
     {}},
    {"a destination folder that is not there",
     {"dir_out_0={gone}"},
     {" Slot 0, dir_out_0: la cartella {gone} non esiste"}},
    {"a log folder that refuses new entries",
     {},
     {" Slot 0, dir_log_0: nella cartella {log} non si puo' scrivere"},
     [](PassTree& t) {
         t.during.push_back(readOnlyFolder(t.tree.path("log"), true));
         if (!t.during.back())
             t.cannot = "a folder cannot be made to refuse writes here";
     }},
    {"an input folder without destination",
     {"dir_out_0"},
     {" Slot 0, dir_out_0: manca la cartella di destinazione: lo slot non viene elaborato"}},
    {"an input folder without log folder",
     {"dir_log_0=" + QString(QDir::separator())},
     {" Slot 0, dir_log_0: manca la cartella dei log: lo slot non viene elaborato"}},
    {"a destination that is the input folder written another way",
     {"dir_out_0={log/../in}"},
     {" Slot 0, dir_out_0: la cartella {log/../in}" + kTakenAgain}},
    {"a backup folder reached through a link to the input folder",
     {"dir_backup_0={link}"},
     {" Slot 0, dir_backup_0: la cartella {link}" + kTakenAgain},
     [](PassTree& t) {
         if (!makeSymbolicLink(t.tree.path("in"), t.tree.path("link")))
             t.cannot = "no symbolic link can be made here";
     }},
    {"a duplicates folder inside an input folder whose subfolders are read",
     {"dir_doppioni_0={in/dup}", "gestione_dir_0=1"},
     {" Slot 0, dir_doppioni_0: la cartella {in/dup} e' dentro la cartella di ingresso, di cui si leggono le "
      "sotto "
      "cartelle: cio' che vi si scrive verrebbe ripreso"},
     [](PassTree& t) { t.tree.folder("in/dup"); }},
    {"a duplicates folder inside an input folder whose subfolders are not read",
     {"dir_doppioni_0={in/dup}"},
     {},
     [](PassTree& t) { t.tree.folder("in/dup"); }},
    {"two slots with one input folder: told at the later one",
     {"dir_in_1={in}", "dir_out_1={out}", "dir_log_1={log}"},
     {" Slot 1, dir_in_1: la cartella di ingresso {in} coincide con quella dello slot 0 (dir_in_0), che ne "
      "prende i "
      "documenti per primo"}},
    {"an input folder inside a slot that reads its subfolders",
     {"dir_in_1={in/sub}", "dir_out_1={out}", "dir_log_1={log}", "gestione_dir_0=1"},
     {" Slot 1, dir_in_1: la cartella di ingresso {in/sub} e' dentro quella dello slot 0 (dir_in_0), che ne "
      "legge le "
      "sotto cartelle"},
     [](PassTree& t) { t.tree.folder("in/sub"); }},
    {"an input folder inside a slot that does not read its subfolders",
     {"dir_in_1={in/sub}", "dir_out_1={out}", "dir_log_1={log}"},
     {},
     [](PassTree& t) { t.tree.folder("in/sub"); }},
    {"a layout in the wrong letter case",
     {"dir_nazionale_0=crea:aa/mm;"},
     {" Slot 0, dir_nazionale_0: il formato CREA:aa/mm non e' tra quelli previsti (AA/MM/GG, MM/GG, AA/GGG, "
      "GGG, MM, "
      "AA/MM): i documenti vanno nella cartella di destinazione, senza cartelle per data"}},
    {"encryption with neither the tool nor a password, nor the password folder",
     {"gestione_pwd_0=1", "dir_pwd={nopwd}"},
     {" Slot 0, gestione_pwd_0: cifratura attiva ma manca {app}encryptpdf.exe: i documenti vengono "
      "archiviati senza "
      "password",
      " Slot 0, gestione_pwd_0: cifratura attiva ma nessuna password per lo slot in {nopwd}ao.dat: verrebbe "
      "usata "
      "la password standard",
      " dir_pwd: la cartella {nopwd} non esiste"}},
    {"encryption with the tool and the slot's password",
     {"gestione_pwd_0=01", "dir_pwd={pwd}"},
     {},
     [](PassTree& t) {
         t.drop("app/encryptpdf.exe=tool");
         t.drop("pwd/ao.dat=[0]\r\nP=segreta\r\n");
     }},
    {"an extension with an inner blank",
     {"estensione_3= P DF "},
     {" estensione_3: il valore \"P DF\" contiene uno spazio e viene ignorato"}},
    {"a period the settings window does not offer",
     {"timer_delta=100 minuti"},
     {" timer_delta: l'intervallo \"100 minuti\" non e' tra quelli previsti (1 minuto, 5 minuti, 10 minuti, "
      "15 "
      "minuti, 20 minuti, 30 minuti, 60 minuti): vale 10 minuti"}},
    {"a tracking folder that is not there",
     {"dir_log_generale={notrack}"},
     {" dir_log_generale: la cartella {notrack} non esiste"}},
    {"no configuration file",
     {},
     {" Impossibile accedere al file {empty}Dokivo.ini"},
     [](PassTree& t) { t.m().settings.config_dir = t.tree.folder("empty"); }},
};

}  // namespace

TEST(ConfigurationCheck, NamesEachProblemWithItsSlotAndKey) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.what);
        PassTree t;
        for (const QString& line : row.ini)
            t.set(line);
        t.saveIni();
        if (row.arrange)
            row.arrange(t);
        if (!t.cannot.isEmpty()) {
            std::printf("row not run: %s: %s\n", row.what, qPrintable(t.cannot));
            continue;
        }
        QStringList expected;
        for (const QString& problem : row.problems)
            expected << t.expand(problem);
        EXPECT_EQ(configurationProblems(t.m()), expected);
    }
}
