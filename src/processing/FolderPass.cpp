#include "processing/FolderPass.h"

#include <QFile>

#include "platform/ArrivalCheck.h"
#include "platform/Clock.h"
#include "platform/DateText.h"
#include "platform/DurableCopy.h"
#include "platform/FileSystem.h"
#include "platform/FolderLock.h"
#include "platform/Paths.h"
#include "platform/RunError.h"
#include "processing/DateFolders.h"
#include "processing/Delivery.h"
#include "processing/DeliveryBatch.h"
#include "processing/DeliveryJournal.h"
#include "processing/Encryption.h"
#include "processing/FailureLine.h"
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
    explicit Pass(const PassEnvironment& env)
        : journal(env.folders.records), batch(env, journal, record, progress) {}

    PassProgress progress;
    ControlRule rule;  // decided once, at the start of the pass
    RecordFile record;
    DeliveryJournal journal;
    DeliveryBatch batch;
    DateFolderMaker dateFolders;
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
// copy, staged in the batch; the document is filed (its source deleted, its record line written
// unless it is a duplicate) once they have all taken their names.
void fileDocument(const PassEnvironment& env, Pass& pass, const platform::FileEntry& file,
                  const QString& destinationName, const QString& destinationFolder) {
    const SlotContext& ctx = env.slot;
    int& step = pass.progress.step;
    QStringList record = deliveredRecord(env, destinationName, destinationFolder, file.name, file.created);
    const DeliveryPlan plan{ctx.folder,        file.name,         destinationName,
                            destinationFolder, ctx.backup_folder, ctx.duplicates_folder};
    Delivery delivery(plan, pass.batch);
    step = 27;
    delivery.copyToBackup();
    step = 28;
    bool duplicate = false;
    if (!delivery.goesToDuplicates()) {
        delivery.copyToDestination();
    } else {
        step = 29;
        delivery.copyToDuplicates();
        step = 30;
        duplicate = true;
    }
    // The journal names the record line only of a document that gets one: a duplicate has none.
    JournalEntry entry;
    entry.logFolder = ctx.log_folder;
    entry.recordBase = pass.record.size();
    if (!duplicate) {
        entry.recordFile = pass.record.path();
        entry.recordLine = RecordFile::lineBytes(record).chopped(2);
    }
    delivery.file(std::move(entry), duplicate ? std::nullopt : std::optional<QStringList>(std::move(record)));
    step = 35;
}

// The step numbers the decision's stages had while they ran inside the pass, for the error line.
int stepAfterNameChecks(const FileDecision& decision) {
    if (decision.stays == StayReason::Extension)
        return 35;
    return decision.timeStamped ? 4777 : 48;
}

void processFile(const PassEnvironment& env, Pass& pass, const platform::FileEntry& file) {
    const SlotContext& ctx = env.slot;
    int& step = pass.progress.step;
    // 1. What the name, the file's times and the slot's settings decide, before anything is written.
    const FileDecision decision = decideFile(ctx, env.settings, pass.rule, file, env.clock.now());
    if (decision.stays == StayReason::StillArriving)
        ++env.files_still_arriving;
    if (decision.stays == StayReason::LineBreaks)
        pass.batch.addLine(
            QStringLiteral(" File non elaborato: il nome contiene una tabulazione o un a capo : ") +
            ctx.folder + withLineBreaksShown(file.name));
    if (!decision.named)
        return;
    step = 4;
    pass.batch.addLine(QStringLiteral(" File : ") + file.name + QStringLiteral(" pospunto ") +
                       QString::number(decision.dot));
    step = stepAfterNameChecks(decision);
    if (decision.stays == StayReason::Extension)
        return;

    // 2. The FORMATOATENE filter.
    step = 5;
    if (decision.stays == StayReason::Formatoatene)
        return;

    // 3. The record file, opened at the first accepted file.
    step = 6;
    openRecordFileOnce(env, pass);

    // 4. SOLOLOG: recorded, and left where it is.
    step = 7;
    if (decision.stays == StayReason::RecordOnly) {
        pass.record.write(sologRecord(env, file.name, file.created));
        ++pass.progress.processed;
        return;
    }

    // 5. Encryption, when the slot's switch asks for it (the step looks at the switch itself). A
    // document the PODSITIR rule leaves in place is not changed. The tool's wait shows the list
    // and may show a message: what came before is delivered and written first.
    step = 8;
    if (!decision.podsitirKeepsIt() && slotEncrypts(ctx)) {
        pass.batch.commit();
        if (encryptDocument(env, file.name, decision.destinationName) == EncryptionOutcome::Failed)
            return;
    }

    // 6. The date folders.
    const QString destinationFolder = pass.dateFolders.build(ctx.parameters, ctx.dest_folder, file.created);

    // 7. The PODSITIR rule.
    if (decision.stays == StayReason::PodsitirRejected)
        pass.batch.addLine(QStringLiteral(" PODSITIR non copiato: nome non valido ") + ctx.folder +
                           file.name);
    if (decision.podsitirKeepsIt())
        return;

    // 8. Delivery and deletion of the source; 9. the record line.
    fileDocument(env, pass, file, decision.finalName(), destinationFolder);
}

void summarise(const PassEnvironment& env, const Pass& pass) {
    const qint64 processed = pass.progress.processed;
    const SlotContext& ctx = env.slot;
    env.addLine(QStringLiteral(" Fine lettura contenuto : ") + ctx.folder);
    env.addLine(QStringLiteral(" Elaborati : ") + QString::number(processed));
    if (env.flags.autorun())
        env.host.showMessage(QStringLiteral("Elaborati ") + QString::number(processed) +
                             QStringLiteral(" file PDF\r\nOrigine ") + ctx.folder +
                             QStringLiteral("\r\nDestinazione ") + ctx.dest_folder);
    if (env.flags.scheduled())
        env.addLine(QStringLiteral(" Elaborati ") + QString::number(processed) + QStringLiteral(" file ") +
                    QStringLiteral(" Origine ") + ctx.folder + QStringLiteral(" Destinazione ") +
                    ctx.dest_folder);
}

}  // namespace

void runFolderPass(const PassEnvironment& env) {
    const SlotContext& ctx = env.slot;
    // Another installation sharing the folder files it now; the next tick tries again.
    platform::FolderLock lock;
    if (lock.tryLock(ctx.folder) == platform::FolderLock::Outcome::Taken) {
        const QString holder =
            lock.holder().isEmpty() ? QStringLiteral("un'altra installazione") : lock.holder();
        env.addLineAndRefresh(QStringLiteral(" Cartella non letta: in uso da ") + holder +
                              QStringLiteral(" : ") + ctx.folder);
        return;
    }
    Pass pass(env);
    int& step = pass.progress.step;
    QString& document = pass.progress.document;
    try {
        pass.rule = decideControlRule(ctx);
        if (!ctx.sololog && !ctx.is_main_folder && !platform::folderExists(ctx.dest_folder))
            platform::createFolder(ctx.dest_folder);

        step = 2;
        env.addLine(QStringLiteral(" Inizio lettura contenuto : ") + ctx.folder);
        step = 3;
        const std::vector<platform::FileEntry> files = platform::listRegularFiles(ctx.folder);
        removeLeftoverCopies(ctx);
        for (const platform::FileEntry& file : files) {
            document = ctx.folder + file.name;
            try {
                processFile(env, pass, file);
            } catch (const platform::SourceError& error) {
                // This document could not be read; it stays where it is, and the others go on. One
                // that is gone (taken out by hand) is no failure: it is simply not there to file.
                if (error.number() == platform::errnum::FileNotFound && !platform::entryExists(document))
                    pass.batch.addLine(QStringLiteral(" File non elaborato: non piu' presente : ") +
                                       withLineBreaksShown(document));
                else
                    pass.batch.addLine(failureLine(step, error, document), true);
            }
            if (pass.batch.full())
                pass.batch.commit();
        }
        document.clear();
        pass.batch.close();

        step = 36;
        summarise(env, pass);
        step = 37;
    } catch (const platform::RunError& error) {
        // What the batch holds was filed before this failure, document by document: it goes
        // first, unless it fails itself, which then is the failure that ends the pass.
        const int failedStep = step;
        const QString failedDocument = document;
        try {
            pass.batch.close();
            env.addLineAndRefresh(failureLine(failedStep, error, failedDocument));
        } catch (const platform::RunError& earlier) {
            env.addLineAndRefresh(failureLine(step, earlier, document));
        }
    }
    pass.record.close();
    if (pass.progress.processed != 0) {
        // The log folder is named in the journal first: a crash during the copy leaves no
        // temporary file there that recovery does not find.
        platform::ignoringFailures([&] { pass.journal.noteCopyFolder(ctx.log_folder, pass.batch.token()); });
        pass.record.handOver(ctx.log_folder, pass.batch.token());
    }
}

}  // namespace dokivo
