#include "app/PassSimulation.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include "app/MainModule.h"
#include "platform/Clock.h"
#include "platform/DurableCopy.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/RunError.h"
#include "processing/DateFolders.h"
#include "processing/Delivery.h"
#include "processing/Encryption.h"
#include "processing/LineBreakingNames.h"
#include "processing/PdfProtection.h"
#include "scan/SlotWalk.h"

namespace dokivo {

using platform::isUnsetFolder;

namespace {

QString stayText(StayReason reason) {
    switch (reason) {
        case StayReason::None:
        case StayReason::FolderLock:
            break;
        case StayReason::EncryptedCopyName:
            return QStringLiteral("nome riservato alla copia criptata");
        case StayReason::ControlCharacters:
            return QStringLiteral("nome non accettato dai caratteri di controllo");
        case StayReason::NameNotText:
            return QStringLiteral("nome non leggibile come testo");
        case StayReason::TemporaryCopy:
            return QStringLiteral("copia temporanea del programma, che l'elaborazione elimina");
        case StayReason::EncryptionWorkFile:
            return QStringLiteral("file di lavoro della criptatura");
        case StayReason::StillArriving:
            return QStringLiteral("ancora in scrittura");
        case StayReason::LineBreaks:
            return QStringLiteral("il nome contiene una tabulazione o un a capo");
        case StayReason::Extension:
            return QStringLiteral("estensione non accettata");
        case StayReason::Formatoatene:
            return QStringLiteral("nome non accettato da FORMATOATENE");
        case StayReason::RecordOnly:
            return QStringLiteral("SOLOLOG, solo registrato nel file di log");
        case StayReason::PodsitirNoMarker:
            return QStringLiteral("PODSITIR, marcatore assente nel nome");
        case StayReason::PodsitirRejected:
            return QStringLiteral("PODSITIR, nome non valido");
    }
    return {};
}

class Simulation {
  public:
    explicit Simulation(const MainModule& module) : module_(module) {}

    void run();
    PassPlan plan;

  private:
    void slot(int n);
    void folder(const SlotContext& ctx, const QString& heading);
    void file(const SlotContext& ctx, const ControlRule& rule, const platform::FileEntry& entry);
    void otherEntries(const SlotContext& ctx, const QSet<QString>& regularNames);
    QString encryptionNote(const SlotContext& ctx, const QString& source) const;
    void line(int slot, const QString& text) { plan.lines << QStringLiteral(" Slot %1 ").arg(slot) + text; }
    // Whether `path` holds a file, on disk or planned for an earlier document of this pass.
    bool taken(const QString& path) const {
        return planned_.contains(path) || platform::regularFileExists(path);
    }
    // The name a backup or duplicates copy of `source` would take, as the delivery chooses it.
    QString copyName(const QString& folder, const QString& name, const QString& source) const {
        return firstUsableName(name, [&](const QString& candidate) {
            const QString path = folder + candidate;
            const auto earlier = planned_.constFind(path);
            if (earlier != planned_.constEnd())
                return platform::sameContent(source, *earlier);
            return !platform::regularFileExists(path) || platform::sameContent(source, path);
        });
    }

    const MainModule& module_;
    Settings settings_;
    QHash<QString, QString> planned_;  // path a copy would take -> the source it copies
};

void Simulation::run() {
    settings_ = module_.settings;
    plan.lines << QStringLiteral(" Simulazione elaborazione ") + settings_.iniPath();
    try {
        loadSettingsForPass(settings_, module_.folders);
        for (int n = 0; n < kSlotCount; ++n)
            slot(n);
    } catch (const platform::RunError& error) {
        plan.lines << QStringLiteral(" Simulazione interrotta: ") + error.description();
    }
    qsizetype filed = 0;
    for (const PlannedDocument& doc : plan.documents)
        filed += doc.filed() ? 1 : 0;
    plan.lines << QStringLiteral(" File da archiviare: %1, file che restano: %2")
                      .arg(filed)
                      .arg(qsizetype(plan.documents.size()) - filed);
}

void Simulation::slot(int n) {
    SlotContext ctx;
    if (!prepareSlot(settings_, n, ctx))
        return;  // not configured: the pass passes it by without a word
    if (const QString reason = lineBreakingFolderReason(settings_.slots[n], n); !reason.isEmpty()) {
        line(n, QStringLiteral("non elaborato: ") + reason);
        return;
    }
    if (!slotFoldersReachable(ctx)) {
        line(n, QStringLiteral("non elaborato: non riesco ad accedere ad una delle tre cartelle ") +
                    ctx.folder + QLatin1Char(' ') + ctx.dest_folder + QLatin1Char(' ') + ctx.log_folder);
        return;
    }
    folder(ctx, QStringLiteral("cartella principale ") + ctx.folder);
    const SlotSettings& ss = settings_.slots[n];
    if (!readsSubfolders(ss))
        return;
    for (const QString& name : platform::listSubfolders(ss.dir_in)) {
        if (breaksRecordLines(name)) {
            line(n,
                 QStringLiteral("sottocartella non letta: il nome contiene una tabulazione o un a capo : ") +
                     ss.dir_in + withLineBreaksShown(name));
            continue;
        }
        SlotContext sub = ctx;
        enterSubfolder(ss, name, sub);
        const bool made = !sub.sololog && !platform::folderExists(sub.dest_folder);
        folder(sub, QStringLiteral("sottocartella ") + sub.folder + QStringLiteral(" destinazione ") +
                        sub.dest_folder + (made ? QStringLiteral(" (sarebbe creata)") : QString()));
    }
}

void Simulation::folder(const SlotContext& ctx, const QString& heading) {
    line(ctx.slot_index, heading);
    try {
        const ControlRule rule = decideControlRule(ctx);
        QSet<QString> regularNames;
        for (const platform::FileEntry& entry : platform::listRegularFiles(ctx.folder)) {
            regularNames.insert(entry.name);
            file(ctx, rule, entry);
        }
        otherEntries(ctx, regularNames);
    } catch (const platform::RunError& error) {
        // The pass ends this folder here, with its error line; the files after stay.
        line(ctx.slot_index, QStringLiteral("lettura di ") + ctx.folder + QStringLiteral(" interrotta: ") +
                                 error.description());
    }
}

void Simulation::file(const SlotContext& ctx, const ControlRule& rule, const platform::FileEntry& entry) {
    PlannedDocument doc;
    doc.slot = ctx.slot_index;
    doc.source = ctx.folder + entry.name;
    const FileDecision decision = decideFile(ctx, settings_, rule, entry, module_.clock.now());
    doc.stays = decision.stays;
    if (doc.stays == StayReason::FolderLock)
        return;  // the lock file of the pass, not a file of the folder's
    if (!doc.filed()) {
        line(doc.slot, withLineBreaksShown(doc.source) + QStringLiteral(" resta: ") + stayText(doc.stays));
        plan.documents.push_back(doc);
        return;
    }

    const QString name = decision.finalName();
    const QString destination = dateFolderPath(ctx.parameters, ctx.dest_folder, entry.created) + name;
    if (!isUnsetFolder(ctx.backup_folder)) {
        doc.backup = ctx.backup_folder + copyName(ctx.backup_folder, name, doc.source);
        planned_.insert(doc.backup, doc.source);
    }
    QString note;
    const bool destinationTaken = taken(destination);
    if (goesToDuplicates(destinationTaken, ctx.duplicates_folder)) {
        doc.target = ctx.duplicates_folder + copyName(ctx.duplicates_folder, name, doc.source);
        note = QStringLiteral(" (doppione: esiste gia' ") + destination + QLatin1Char(')');
    } else {
        doc.target = destination;
        if (destinationTaken)
            note = QStringLiteral(" (sostituisce il file presente)");
    }
    planned_.insert(doc.target, doc.source);
    if (!doc.backup.isEmpty())
        note += QStringLiteral(" (backup ") + doc.backup + QLatin1Char(')');
    line(doc.slot, doc.source + QStringLiteral(" -> ") + doc.target + note + encryptionNote(ctx, doc.source));
    plan.documents.push_back(doc);
}

// Links, pipes, sockets and devices: the pass does not list them, so they stay.
void Simulation::otherEntries(const SlotContext& ctx, const QSet<QString>& regularNames) {
    const QFileInfoList entries =
        QDir(ctx.folder).entryInfoList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& info : entries) {
        if (regularNames.contains(info.fileName()) || (info.isDir() && !info.isSymLink()) ||
            (info.isFile() && !info.isSymLink()))
            continue;
        PlannedDocument doc;
        doc.slot = ctx.slot_index;
        doc.source = ctx.folder + info.fileName();
        doc.notRegularFile = true;
        line(doc.slot, withLineBreaksShown(doc.source) + QStringLiteral(" resta: non e' un file regolare"));
        plan.documents.push_back(doc);
    }
}

QString Simulation::encryptionNote(const SlotContext& ctx, const QString& source) const {
    if (!slotEncrypts(ctx))
        return {};
    if (!platform::regularFileExists(module_.folders.application + kEncryptionToolName))
        return QStringLiteral(" senza protezione: manca ") + kEncryptionToolName + QStringLiteral(" in ") +
               module_.folders.application;
    if (isPasswordProtectedPdf(source))
        return QStringLiteral(" gia' protetto");
    return QStringLiteral(" protetto con password");
}

}  // namespace

PassPlan planPass(const MainModule& module) {
    Simulation simulation(module);
    simulation.run();
    return std::move(simulation.plan);
}

QStringList simulatePass(const MainModule& module) {
    return planPass(module).lines;
}

}  // namespace dokivo
