#include "app/ConfigurationCheck.h"

#include "app/MainModule.h"
#include "config/NumericText.h"
#include "platform/FileSystem.h"
#include "platform/FolderChecks.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "processing/DateFolders.h"
#include "processing/Encryption.h"
#include "processing/LineBreakingNames.h"
#include "scan/Scheduler.h"
#include "scan/SlotWalk.h"

namespace dokivo {

using platform::FolderRelation;
using platform::isUnsetFolder;
using platform::withTrailingSeparator;

namespace {

QString quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// Why the program could not file into, or record in, this folder; empty when it can.
QString folderProblem(const QString& folder) {
    if (!platform::folderExists(folder))
        return QStringLiteral("la cartella ") + folder + QStringLiteral(" non esiste");
    if (!platform::folderIsWritable(folder))
        return QStringLiteral("nella cartella ") + folder + QStringLiteral(" non si puo' scrivere");
    return {};
}

class Check {
  public:
    Check(const Settings& settings, const QString& applicationFolder)
        : s_(settings), applicationFolder_(applicationFolder) {}

    void slot(int n);
    void general(const platform::IniDocument& ini);

    QStringList problems;

  private:
    void slotProblem(int n, const char* stem, const QString& text) {
        problems << QStringLiteral(" Slot %1, %2: ").arg(n).arg(slotKey(stem, n)) + text;
    }
    void generalProblem(const QString& key, const QString& text) {
        problems << QLatin1Char(' ') + key + QStringLiteral(": ") + text;
    }
    void inputFolder(int n, const QString& in);
    void filingFolders(int n, const QString& in);
    void layout(int n);
    void encryption(int n);

    const Settings& s_;
    const QString applicationFolder_;
};

void Check::slot(int n) {
    const SlotSettings& ss = s_.slots[n];
    if (isUnsetFolder(ss.dir_in))
        return;  // an unused slot
    const std::vector<SlotFolder> breaking = lineBreakingFolders(ss);
    for (const SlotFolder& folder : breaking)
        slotProblem(n, folder.stem,
                    QStringLiteral("il percorso ") + withLineBreaksShown(folder.path) +
                        QStringLiteral(" contiene una tabulazione o un a capo: lo slot non viene elaborato"));
    if (!breaking.empty())
        return;  // what else the slot holds matters to no pass
    const QString in = withTrailingSeparator(ss.dir_in);
    inputFolder(n, in);
    filingFolders(n, in);
    layout(n);
    encryption(n);
}

void Check::inputFolder(int n, const QString& in) {
    if (const QString problem = folderProblem(in); !problem.isEmpty())
        slotProblem(n, "dir_in_", problem);
    for (int other = 0; other < kSlotCount; ++other) {
        const SlotSettings& os = s_.slots[other];
        if (other == n || isUnsetFolder(os.dir_in))
            continue;
        const QString otherSlot = QStringLiteral("slot %1 (%2)").arg(other).arg(slotKey("dir_in_", other));
        const FolderRelation relation = platform::folderRelation(in, withTrailingSeparator(os.dir_in));
        // Told once, at the later slot: the earlier one takes the documents first.
        if (relation == FolderRelation::Same && other < n)
            slotProblem(n, "dir_in_",
                        QStringLiteral("la cartella di ingresso ") + in +
                            QStringLiteral(" coincide con quella dello ") + otherSlot +
                            QStringLiteral(", che ne prende i documenti per primo"));
        if (relation == FolderRelation::Inside && readsSubfolders(os))
            slotProblem(n, "dir_in_",
                        QStringLiteral("la cartella di ingresso ") + in +
                            QStringLiteral(" e' dentro quella dello ") + otherSlot +
                            QStringLiteral(", che ne legge le sotto cartelle"));
    }
}

// The folders a pass writes into: the two a slot needs must be set, each must be there and
// writable, and none may be where the slot takes its documents from.
void Check::filingFolders(int n, const QString& in) {
    const SlotSettings& ss = s_.slots[n];
    struct Folder {
        const char* stem;
        const QString& value;
        QString whenUnset;  // empty: the folder is optional
    };
    const Folder folders[] = {
        {"dir_out_", ss.dir_out,
         QStringLiteral("manca la cartella di destinazione: lo slot non viene elaborato")},
        {"dir_log_", ss.dir_log, QStringLiteral("manca la cartella dei log: lo slot non viene elaborato")},
        {"dir_backup_", ss.dir_backup, {}},
        {"dir_doppioni_", ss.dir_doppioni, {}}};
    for (const Folder& f : folders) {
        if (isUnsetFolder(f.value)) {
            if (!f.whenUnset.isEmpty())
                slotProblem(n, f.stem, f.whenUnset);
            continue;
        }
        const QString folder = withTrailingSeparator(f.value);
        if (const QString problem = folderProblem(folder); !problem.isEmpty())
            slotProblem(n, f.stem, problem);
        const FolderRelation relation = platform::folderRelation(folder, in);
        if (relation == FolderRelation::Same)
            slotProblem(
                n, f.stem,
                QStringLiteral("la cartella ") + folder +
                    QStringLiteral(
                        " coincide con la cartella di ingresso: cio' che vi si scrive verrebbe ripreso"));
        else if (relation == FolderRelation::Inside && readsSubfolders(ss))
            slotProblem(n, f.stem,
                        QStringLiteral("la cartella ") + folder +
                            QStringLiteral(" e' dentro la cartella di ingresso, di cui si leggono le sotto "
                                           "cartelle: cio' che vi si scrive verrebbe ripreso"));
    }
}

void Check::layout(int n) {
    bool found = false;
    const QString code = layoutCode(s_.slots[n].dir_nazionale, &found);
    if (found && !knownLayoutCodes().contains(code))
        slotProblem(n, "dir_nazionale_",
                    QStringLiteral("il formato CREA:") + code +
                        QStringLiteral(" non e' tra quelli previsti (") +
                        knownLayoutCodes().join(QStringLiteral(", ")) +
                        QStringLiteral("): i documenti vanno nella cartella di destinazione, senza cartelle "
                                       "per data"));
}

void Check::encryption(int n) {
    if (!readsAsOne(s_.slots[n].gestione_pwd))
        return;
    const QString tool = applicationFolder_ + kEncryptionToolName;
    if (!platform::regularFileExists(tool))
        slotProblem(n, "gestione_pwd_",
                    QStringLiteral("cifratura attiva ma manca ") + tool +
                        QStringLiteral(": i documenti vengono archiviati senza password"));
    if (storedSlotPassword(s_.dir_pwd, n).isEmpty())
        slotProblem(n, "gestione_pwd_",
                    QStringLiteral("cifratura attiva ma nessuna password per lo slot in ") +
                        withTrailingSeparator(s_.dir_pwd) + kPasswordFileName +
                        QStringLiteral(": verrebbe usata la password standard"));
}

void Check::general(const platform::IniDocument& ini) {
    for (int i = 0; i < kExtensionCount; ++i) {
        const QString key = slotKey("estensione_", i);
        const QString value = ini.value(kIniSection, key).trimmed();
        if (value.contains(QLatin1Char(' ')))
            generalProblem(key, QStringLiteral("il valore ") + quoted(value) +
                                    QStringLiteral(" contiene uno spazio e viene ignorato"));
    }
    if (!s_.dir_log_generale.isEmpty())
        if (const QString problem = folderProblem(withTrailingSeparator(s_.dir_log_generale));
            !problem.isEmpty())
            generalProblem(QStringLiteral("dir_log_generale"), problem);
    // Only read, and only when a slot encrypts.
    if (s_.password_handling_on && !platform::folderExists(s_.dir_pwd))
        generalProblem(QStringLiteral("dir_pwd"),
                       QStringLiteral("la cartella ") + s_.dir_pwd + QStringLiteral(" non esiste"));
    if (!offeredIntervals().contains(s_.timer_delta)) {
        const qint64 minutes = periodSeconds(s_.timer_delta) / 60;
        generalProblem(QStringLiteral("timer_delta"),
                       QStringLiteral("l'intervallo ") + quoted(s_.timer_delta) +
                           QStringLiteral(" non e' tra quelli previsti (") +
                           offeredIntervals().join(QStringLiteral(", ")) + QStringLiteral("): vale ") +
                           QString::number(minutes) +
                           (minutes == 1 ? QStringLiteral(" minuto") : QStringLiteral(" minuti")));
    }
}

}  // namespace

QStringList configurationProblems(const MainModule& module) {
    Settings settings = module.settings;  // the start-up values, and a fresh read of the file
    if (!platform::regularFileExists(settings.iniPath()))
        return {QStringLiteral(" Impossibile accedere al file ") + settings.iniPath()};
    LoadSettings(settings);
    Check check(settings, module.folders.application);
    for (int n = 0; n < kSlotCount; ++n)
        check.slot(n);
    check.general(platform::IniDocument::load(settings.iniPath()));
    return check.problems;
}

QStringList configurationReport(const QString& iniPath, const QStringList& problems) {
    QStringList lines{QStringLiteral(" Verifica configurazione ") + iniPath};
    lines += problems;
    if (problems.isEmpty())
        lines << QStringLiteral(" Nessun problema trovato");
    else if (problems.size() == 1)
        lines << QStringLiteral(" 1 problema trovato");
    else
        lines << QStringLiteral(" %1 problemi trovati").arg(problems.size());
    return lines;
}

}  // namespace dokivo
