#include "processing/FolderPass.h"

#include <QFile>

#include "platform/ArrivalCheck.h"
#include "platform/Clock.h"
#include "platform/DateText.h"
#include "platform/DurableCopy.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/RunError.h"
#include "processing/DateFolders.h"
#include "processing/Delivery.h"
#include "processing/DeliveryJournal.h"
#include "processing/Encryption.h"
#include "processing/FileDecision.h"
#include "processing/LineBreakingNames.h"
#include "processing/NameRules.h"
#include "processing/PassEnvironment.h"
#include "processing/RecordFile.h"
#include "processing/SpecialKinds.h"

namespace dokivo {

using platform::DatePattern;
using platform::formatDate;

namespace {

// The state of one folder pass. The step number names the last stage reached, for the error line.
struct Pass {
    explicit Pass(const QString& recordsFolder) : journal(recordsFolder) {}

    int step = 0;
    qint64 processed = 0;
    ControlRule rule;  // decided once, at the start of the pass
    RecordFile record;
    DeliveryJournal journal;
};

// The reception date as the record wants it: "YYYYMMDD", empty when the field is empty or
// does not read as a date.
QString receptionDateField(const QString& text) {
    const QDate date = QDate::fromString(text.trimmed(), QStringLiteral("dd/MM/yyyy"));
    return date.isValid() ? date.toString(QStringLiteral("yyyyMMdd")) : QString();
}

QStringList deliveredRecord(const PassEnvironment& env, const QString& destinationName,
                            const QString& destinationFolder, const QString& sourceName,
                            const QDateTime& created) {
    const SlotContext& ctx = env.slot;
    QString shownFolder = destinationFolder;
    if (!ctx.dircgd_value.isEmpty())
        shownFolder.replace(ctx.dest_folder, ctx.dircgd_value);
    return {destinationName,
            shownFolder,
            receptionDateField(env.host.receptionDate()),
            formatDate(created, DatePattern::YYYYMMDD),
            formatDate(created, DatePattern::HHMMSS),
            env.host.operatorCode(),
            ctx.doclibero ? sourceName : QString(),
            ctx.folder,
            ctx.abbin_value};
}

QStringList sologRecord(const PassEnvironment& env, const QString& sourceName, const QDateTime& created) {
    const SlotContext& ctx = env.slot;
    return {sourceName,
            ctx.folder,
            QString(),
            formatDate(created, DatePattern::YYYYMMDD),
            formatDate(created, DatePattern::HHMMSS),
            env.host.operatorCode(),
            QString(),
            ctx.folder};
}

// Temporary copies a crash left in the folders this pass writes to are removed first.
void removeLeftoverCopies(const SlotContext& ctx) {
    for (const QString& folder : {ctx.folder, ctx.dest_folder, ctx.backup_folder, ctx.duplicates_folder}) {
        if (platform::isUnsetFolder(folder))
            continue;
        QFile::remove(folder + platform::kTemporaryCopyName);
    }
}

void openRecordFileOnce(const PassEnvironment& env, Pass& pass) {
    if (pass.record.isOpen())
        return;
    ++env.record_file_counter;
    pass.record.open(env.folders.records, env.clock.now(), env.record_file_counter);
}

// The backup copy, then the destination copy or, when the name is taken there, the duplicates
// copy. Returns whether the document went to the duplicates folder.
bool deliver(const PassEnvironment& env, Pass& pass, const DeliveryPlan& plan, JournalEntry pending) {
    Delivery delivery(plan, pass.journal, env.operations);
    pass.step = 27;
    delivery.copyToBackup();
    pass.step = 28;
    if (!delivery.goesToDuplicates()) {
        delivery.copyToDestination(std::move(pending));
        return false;
    }
    pass.step = 29;
    delivery.copyToDuplicates(std::move(pending));
    pass.step = 30;
    return true;
}

// Delivery, deletion of the source and the record line. The source goes only once every copy of
// it is on disk; a duplicate has no record line.
void fileDocument(const PassEnvironment& env, Pass& pass, const platform::FileEntry& file,
                  const QString& destinationName, const QString& destinationFolder) {
    const SlotContext& ctx = env.slot;
    const QString source = ctx.folder + file.name;
    const QStringList record =
        deliveredRecord(env, destinationName, destinationFolder, file.name, file.created);
    JournalEntry pending{source, QString(), pass.record.path(), ctx.log_folder,
                         RecordFile::lineBytes(record).chopped(2)};
    const DeliveryPlan plan{ctx.folder,        file.name,         destinationName,
                            destinationFolder, ctx.backup_folder, ctx.duplicates_folder};
    const bool duplicate = deliver(env, pass, plan, std::move(pending));

    pass.step = 31;
    ++pass.processed;
    pass.step = 32;
    platform::removeFile(source);
    pass.step = 33;
    env.addLine(QStringLiteral(" File elaborato : ") + source);
    pass.step = 34;
    if (!duplicate)
        pass.record.write(record);
    pass.journal.clear();
    pass.step = 35;
}

// The step numbers the decision's stages had while they ran inside the pass, for the error line.
int stepAfterNameChecks(const FileDecision& decision) {
    if (decision.stays == StayReason::Extension)
        return 35;
    return decision.timeStamped ? 4777 : 48;
}

void processFile(const PassEnvironment& env, Pass& pass, const platform::FileEntry& file) {
    const SlotContext& ctx = env.slot;
    // 1. What the name, the file's times and the slot's settings decide, before anything is written.
    const FileDecision decision = decideFile(ctx, env.settings, pass.rule, file, env.clock.now());
    if (decision.stays == StayReason::LineBreaks)
        env.addLine(QStringLiteral(" File non elaborato: il nome contiene una tabulazione o un a capo : ") +
                    ctx.folder + withLineBreaksShown(file.name));
    if (!decision.named)
        return;
    pass.step = 4;
    env.addLine(QStringLiteral(" File : ") + file.name + QStringLiteral(" pospunto ") +
                QString::number(decision.dot));
    pass.step = stepAfterNameChecks(decision);
    if (decision.stays == StayReason::Extension)
        return;

    // 2. The FORMATOATENE filter.
    pass.step = 5;
    if (decision.stays == StayReason::Formatoatene)
        return;

    // 3. The record file, opened at the first accepted file.
    pass.step = 6;
    openRecordFileOnce(env, pass);

    // 4. SOLOLOG: recorded, and left where it is.
    pass.step = 7;
    if (decision.stays == StayReason::RecordOnly) {
        pass.record.write(sologRecord(env, file.name, file.created));
        ++pass.processed;
        return;
    }

    // 5. Encryption, when the slot's switch asks for it (the step looks at the switch itself). A
    // document the PODSITIR rule leaves in place is not changed.
    pass.step = 8;
    if (!decision.podsitirKeepsIt() &&
        encryptDocument(env, file.name, decision.destinationName) == EncryptionOutcome::Failed)
        return;

    // 6. The date folders.
    const QString destinationFolder = buildDateFolders(ctx.parameters, ctx.dest_folder, file.created);

    // 7. The PODSITIR rule.
    if (decision.stays == StayReason::PodsitirRejected)
        env.addLine(QStringLiteral(" PODSITIR non copiato: nome non valido ") + ctx.folder + file.name);
    if (decision.podsitirKeepsIt())
        return;

    // 8. Delivery and deletion of the source; 9. the record line.
    fileDocument(env, pass, file, decision.finalName(), destinationFolder);
}

// The error handler's line; a failure while a document was being filed names that document.
void reportFailure(const PassEnvironment& env, const Pass& pass, const platform::RunError& error,
                   const QString& document) {
    env.addLineAndRefresh(
        QStringLiteral(" Lettura Cartella ") + QString::number(pass.step) + QLatin1Char(' ') +
        QString::number(error.number()) + QLatin1Char(' ') + error.description() +
        (document.isEmpty() ? QString() : QStringLiteral(" : ") + withLineBreaksShown(document)));
}

void summarise(const PassEnvironment& env, const Pass& pass) {
    const SlotContext& ctx = env.slot;
    env.addLine(QStringLiteral(" Fine lettura contenuto : ") + ctx.folder);
    env.addLine(QStringLiteral(" Elaborati : ") + QString::number(pass.processed));
    if (env.flags.autorun())
        env.host.showMessage(QStringLiteral("Elaborati ") + QString::number(pass.processed) +
                             QStringLiteral(" file PDF\r\nOrigine ") + ctx.folder +
                             QStringLiteral("\r\nDestinazione ") + ctx.dest_folder);
    if (env.flags.scheduled())
        env.addLine(QStringLiteral(" Elaborati ") + QString::number(pass.processed) +
                    QStringLiteral(" file ") + QStringLiteral(" Origine ") + ctx.folder +
                    QStringLiteral(" Destinazione ") + ctx.dest_folder);
}

}  // namespace

void letturacartella(const PassEnvironment& env) {
    const SlotContext& ctx = env.slot;
    Pass pass(env.folders.records);
    QString document;  // input folder + name of the document being filed
    try {
        pass.rule = decideControlRule(ctx);
        if (!ctx.sololog && !ctx.is_main_folder && !platform::folderExists(ctx.dest_folder))
            platform::createFolder(ctx.dest_folder);

        pass.step = 2;
        env.addLine(QStringLiteral(" Inizio lettura contenuto : ") + ctx.folder);
        pass.step = 3;
        const std::vector<platform::FileEntry> files = platform::listRegularFiles(ctx.folder);
        removeLeftoverCopies(ctx);
        for (const platform::FileEntry& file : files) {
            document = ctx.folder + file.name;
            try {
                processFile(env, pass, file);
            } catch (const platform::SourceError& error) {
                // This document could not be read; it stays where it is, and the others go on.
                reportFailure(env, pass, error, document);
                pass.journal.clear();
            }
        }
        document.clear();

        pass.record.close();
        pass.step = 36;
        summarise(env, pass);
        pass.step = 37;
    } catch (const platform::RunError& error) {
        reportFailure(env, pass, error, document);
    }
    pass.record.close();
    if (pass.processed != 0)
        pass.record.handOver(ctx.log_folder);
}

}  // namespace dokivo
