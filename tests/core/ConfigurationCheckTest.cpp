#include <gtest/gtest.h>

#include <QDir>

#include <cstdio>
#include <functional>

#include "app/ConfigurationCheck.h"
#include "support/FileSystemFaults.h"
#include "support/PassFixture.h"

using namespace dokivo;
using dokivo::test::PassFixture;
using dokivo::test::ReadOnlyFolder;

namespace {

// Slot 0 complete under "s0/", the tracking folder there: a row changes what it is about.
struct CheckCase : PassFixture {
    std::unique_ptr<ReadOnlyFolder> readOnly;
    // Set where the system cannot make what the row needs (wine: no folder permissions, no links).
    QString cannotArrange;
    CheckCase() { slot(0); }
};

struct Row {
    const char* what;
    std::function<void(CheckCase&)> arrange;
    std::function<QStringList(CheckCase&)> expected;
};

QStringList none(CheckCase&) {
    return {};
}

}  // namespace

TEST(ConfigurationCheck, NamesEachProblemWithItsSlotAndKey) {
    const std::vector<Row> rows{
        {"a complete slot, a known layout, a trimmed extension, an offered period",
         [](CheckCase& c) {
             c.ini["dir_nazionale_0"] = "PODSITIR;CREA:AA/MM/GG;";
             c.ini["estensione_0"] = " TIF ";
             c.ini["timer_delta"] = "1 minuto";
         },
         none},
        {"a destination folder that is not there",
         [](CheckCase& c) { c.ini["dir_out_0"] = c.tree.path("gone"); },
         [](CheckCase& c) {
             return QStringList{" Slot 0, dir_out_0: la cartella " + c.tree.path("gone/") + " non esiste"};
         }},
        {"a log folder that refuses new entries",
         [](CheckCase& c) {
             c.readOnly = std::make_unique<ReadOnlyFolder>(c.log(0));
             if (!c.readOnly->refusesEveryWrite())
                 c.cannotArrange = "a folder cannot be made to refuse writes here";
         },
         [](CheckCase& c) {
             return QStringList{" Slot 0, dir_log_0: nella cartella " + c.log(0) + " non si puo' scrivere"};
         }},
        {"an input folder without destination", [](CheckCase& c) { c.ini.remove("dir_out_0"); },
         [](CheckCase&) {
             return QStringList{
                 " Slot 0, dir_out_0: manca la cartella di destinazione: lo slot non viene elaborato"};
         }},
        {"an input folder without log folder",
         [](CheckCase& c) { c.ini["dir_log_0"] = QString(QDir::separator()); },
         [](CheckCase&) {
             return QStringList{" Slot 0, dir_log_0: manca la cartella dei log: lo slot non viene elaborato"};
         }},
        {"a destination that is the input folder written another way",
         [](CheckCase& c) { c.ini["dir_out_0"] = c.tree.path("s0/log/../in"); },
         [](CheckCase& c) {
             return QStringList{
                 " Slot 0, dir_out_0: la cartella " + c.tree.path("s0/log/../in/") +
                 " coincide con la cartella di ingresso: cio' che vi si scrive verrebbe ripreso"};
         }},
        {"a backup folder reached through a link to the input folder",
         [](CheckCase& c) {
             if (!dokivo::test::makeSymbolicLink(c.in(0), c.tree.path("link")))
                 c.cannotArrange = "no symbolic link can be made here";
             c.ini["dir_backup_0"] = c.tree.path("link");
         },
         [](CheckCase& c) {
             return QStringList{
                 " Slot 0, dir_backup_0: la cartella " + c.tree.path("link/") +
                 " coincide con la cartella di ingresso: cio' che vi si scrive verrebbe ripreso"};
         }},
        {"a duplicates folder inside an input folder whose subfolders are read",
         [](CheckCase& c) {
             c.ini["dir_doppioni_0"] = c.tree.folder("s0/in/dup");
             c.ini["gestione_dir_0"] = "1";
         },
         [](CheckCase& c) {
             return QStringList{
                 " Slot 0, dir_doppioni_0: la cartella " + c.in(0, "dup/") +
                 " e' dentro la cartella di ingresso, di cui si leggono le sotto cartelle: cio' "
                 "che vi si scrive verrebbe ripreso"};
         }},
        {"a duplicates folder inside an input folder whose subfolders are not read",
         [](CheckCase& c) { c.ini["dir_doppioni_0"] = c.tree.folder("s0/in/dup"); }, none},
        {"two slots with one input folder: told at the later one",
         [](CheckCase& c) {
             c.slot(1);
             c.ini["dir_in_1"] = c.in(0);
         },
         [](CheckCase& c) {
             return QStringList{
                 " Slot 1, dir_in_1: la cartella di ingresso " + c.in(0) +
                 " coincide con quella dello slot 0 (dir_in_0), che ne prende i documenti per primo"};
         }},
        {"an input folder inside a slot that reads its subfolders",
         [](CheckCase& c) {
             c.slot(1);
             c.ini["dir_in_1"] = c.tree.folder("s0/in/sub");
             c.ini["gestione_dir_0"] = "1";
         },
         [](CheckCase& c) {
             return QStringList{" Slot 1, dir_in_1: la cartella di ingresso " + c.in(0, "sub/") +
                                " e' dentro quella dello slot 0 (dir_in_0), che ne legge le sotto cartelle"};
         }},
        {"an input folder inside a slot that does not read its subfolders",
         [](CheckCase& c) {
             c.slot(1);
             c.ini["dir_in_1"] = c.tree.folder("s0/in/sub");
         },
         none},
        {"a layout in the wrong letter case", [](CheckCase& c) { c.ini["dir_nazionale_0"] = "crea:aa/mm;"; },
         [](CheckCase&) {
             return QStringList{
                 " Slot 0, dir_nazionale_0: il formato CREA:aa/mm non e' tra quelli previsti (AA/MM/GG, "
                 "MM/GG, "
                 "AA/GGG, GGG, MM, AA/MM): i documenti vanno nella cartella di destinazione, senza cartelle "
                 "per "
                 "data"};
         }},
        {"encryption with neither the tool nor a password, nor the password folder",
         [](CheckCase& c) {
             c.ini["gestione_pwd_0"] = "1";
             c.ini["dir_pwd"] = c.tree.path("nopwd");
         },
         [](CheckCase& c) {
             return QStringList{
                 " Slot 0, gestione_pwd_0: cifratura attiva ma manca " + c.tree.path("app/") +
                     "encryptpdf.exe: i documenti vengono archiviati senza password",
                 " Slot 0, gestione_pwd_0: cifratura attiva ma nessuna password per lo slot in " +
                     c.tree.path("nopwd/") + "ao.dat: verrebbe usata la password standard",
                 " dir_pwd: la cartella " + c.tree.path("nopwd/") + " non esiste"};
         }},
        {"encryption with the tool and the slot's password",
         [](CheckCase& c) {
             c.ini["gestione_pwd_0"] = "01";
             c.ini["dir_pwd"] = c.tree.folder("pwd");
             c.tree.write("app/encryptpdf.exe", "tool");
             c.tree.write("pwd/ao.dat", "[0]\r\nP=segreta\r\n");
         },
         none},
        {"an extension with an inner blank", [](CheckCase& c) { c.ini["estensione_3"] = " P DF "; },
         [](CheckCase&) {
             return QStringList{" estensione_3: il valore \"P DF\" contiene uno spazio e viene ignorato"};
         }},
        {"a period the settings window does not offer",
         [](CheckCase& c) { c.ini["timer_delta"] = "100 minuti"; },
         [](CheckCase&) {
             return QStringList{
                 " timer_delta: l'intervallo \"100 minuti\" non e' tra quelli previsti (1 minuto, 5 minuti, "
                 "10 "
                 "minuti, 15 minuti, 20 minuti, 30 minuti, 60 minuti): vale 10 minuti"};
         }},
        {"a tracking folder that is not there",
         [](CheckCase& c) { c.ini["dir_log_generale"] = c.tree.path("notrack"); },
         [](CheckCase& c) {
             return QStringList{" dir_log_generale: la cartella " + c.tree.path("notrack/") + " non esiste"};
         }},
        {"no configuration file", [](CheckCase& c) { c.m().settings.config_dir = c.tree.folder("empty"); },
         [](CheckCase& c) {
             return QStringList{" Impossibile accedere al file " + c.tree.path("empty/Dokivo.ini")};
         }},
    };
    for (const Row& row : rows) {
        CheckCase c;
        row.arrange(c);
        if (!c.cannotArrange.isEmpty()) {
            std::printf("row not run: %s: %s\n", row.what, qPrintable(c.cannotArrange));
            continue;
        }
        c.saveIni();
        EXPECT_EQ(configurationProblems(c.m()), row.expected(c)) << row.what;
    }
}
