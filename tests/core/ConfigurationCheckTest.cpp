#include "app/ConfigurationCheck.h"
#include "support/PassScenario.h"

using namespace dokivo;
using namespace dokivo::test;

namespace {

// Slot 0 complete, changed by a row's "@" INI lines and "+" layout as in the scenarios; every other
// text is a problem told, in order, "..." standing for any text. (Encryption with the tool and the
// slot's password finds none: the console program's report.)
const struct {
    QStringList texts;
    Hook arrange = {};
} kRows[] = {
    // a complete slot, a known layout, a trimmed extension, an offered period
    {{"@dir_nazionale_0=PODSITIR;CREA:AA/MM/GG;", "@estensione_0= TIF ", "@timer_delta=1 minuto"}},
    {{"@dir_out_0={gone}", "@dir_nazionale_0=crea:aa/mm;", "@gestione_pwd_0=1", "@dir_pwd={nopwd}",
      "@dir_log_generale={notrack}", "@estensione_3= P DF ", "@timer_delta=100 minuti",
      " Slot 0, dir_out_0: la cartella {gone} non esiste",
      " Slot 0, dir_nazionale_0: il formato CREA:aa/mm non e' tra quelli previsti...",
      " Slot 0, gestione_pwd_0: cifratura attiva ma manca {app}encryptpdf.exe...",
      " Slot 0, gestione_pwd_0: cifratura attiva ma nessuna password per lo slot in {nopwd}ao.dat...",
      " estensione_3: il valore \"P DF\" contiene uno spazio...",
      " dir_log_generale: la cartella {notrack} non esiste", " dir_pwd: la cartella {nopwd} non esiste",
      " timer_delta: l'intervallo \"100 minuti\" non e' tra quelli previsti (...): vale 10 minuti"}},
    {{" Slot 0, dir_log_0: nella cartella {log} non si puo' scrivere"}, readOnly("log", true)},
    {{"@dir_out_0", "@dir_log_0=" + QString(QDir::separator()),
      " Slot 0, dir_out_0: manca la cartella di destinazione...",
      " Slot 0, dir_log_0: manca la cartella dei log..."}},
    // the slot's other problems left untold: no pass serves it
    {{"@dir_log_0={log\tB}", "@dir_nazionale_0=DIRCGD={arch\rB};CREA:XX;",
      " Slot 0, dir_log_0: il percorso ...log<TAB>B... contiene una tabulazione o un a capo: lo slot non...",
      " Slot 0, dir_nazionale_0: il percorso ...arch<CR>B... contiene una tabulazione o un a capo..."}},
    // a destination that is the input folder written another way
    {{"@dir_out_0={log/../in}",
      " Slot 0, dir_out_0: la cartella {log/../in} coincide con la cartella di ingresso..."}},
    // a backup folder reached through a link to the input folder
    {{"@dir_backup_0={link}",
      " Slot 0, dir_backup_0: la cartella {link} coincide con la cartella di ingresso..."},
     [](PassTree& t) {
         if (!makeSymbolicLink(t.tree.path("in"), t.tree.path("link")))
             t.cannot = "no symbolic link can be made here";
     }},
    {{"@gestione_dir_0=1", "@dir_doppioni_0={in/dup}", "+in/dup/", "@dir_in_1={in/sub}", "@dir_out_1={out}",
      "@dir_log_1={log}", "+in/sub/",
      " Slot 0, dir_doppioni_0: la cartella {in/dup} e' dentro la cartella di ingresso...",
      " Slot 1, dir_in_1: la cartella di ingresso {in/sub} e' dentro quella dello slot 0 (dir_in_0)..."}},
    // the same where slot 0 does not read its subfolders
    {{"@dir_doppioni_0={in/dup}", "+in/dup/", "@dir_in_1={in/sub}", "@dir_out_1={out}", "@dir_log_1={log}",
      "+in/sub/"}},
    {{"@dir_in_1={in}", "@dir_out_1={out}", "@dir_log_1={log}",
      " Slot 1, dir_in_1: la cartella di ingresso {in} coincide con quella dello slot 0 (dir_in_0)..."}},
    {{" Impossibile accedere al file {empty}Dokivo.ini"},
     [](PassTree& t) { t.m().settings.config_dir = t.tree.folder("empty"); }},
};

}  // namespace

TEST(ConfigurationCheck, NamesEachProblemWithItsSlotAndKey) {
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.texts.join(' ').toStdString());
        PassTree t;
        const QString expected = t.expand(t.lay(row.texts).join('\n'));
        t.saveIni();
        if (row.arrange)
            row.arrange(t);
        if (!t.cannot.isEmpty()) {
            std::printf("row not run: %s\n", qPrintable(t.cannot));
            continue;
        }
        const QString got = configurationProblems(t.m()).join('\n');
        const QString pattern = QRegularExpression::escape(expected).replace("\\.\\.\\.", "[^\n]*");
        EXPECT_TRUE(QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(got).hasMatch())
            << got;
    }
}
