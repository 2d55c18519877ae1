#include "processing/FolderPass.h"

#include <QFile>

#include "app/MainModule.h"
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
#include "processing/LineBreakingNames.h"
#include "processing/NameRules.h"
#include "processing/RecordFile.h"
#include "processing/SpecialKinds.h"

namespace dokivo {

using platform::DatePattern;
using platform::formatDate;
using platform::withTrailingSeparator;

namespace {

const QString kEncryptedName = QStringLiteral("CRIPTATO.PDF");

// The state of one folder pass.
struct Pass {
    int step = 0;
    qint64 processed = 0;
    RecordFile record;
};

// The reception date as the record wants it: "YYYYMMDD", empty when the field is empty or
// does not read as a date.
QString receptionDateField(const QString& text) {
    const QDate date = QDate::fromString(text.trimmed(), QStringLiteral("dd/MM/yyyy"));
    return date.isValid() ? date.toString(QStringLiteral("yyyyMMdd")) : QString();
}

QStringList deliveredRecord(const MainModule& m, const QString& destinationName,
                            const QString& destinationFolder, const QString& sourceName,
                            const QDateTime& created) {
    const SlotContext& ctx = m.slot;
    QString shownFolder = destinationFolder;
    if (!ctx.dircgd_value.isEmpty())
        shownFolder.replace(ctx.dest_folder, ctx.dircgd_value);
    return {destinationName,
            shownFolder,
            receptionDateField(m.frontend.receptionDate()),
            formatDate(created, DatePattern::YYYYMMDD),
            formatDate(created, DatePattern::HHMMSS),
            m.frontend.operatorCode(),
            ctx.doclibero ? sourceName : QString(),
            ctx.folder,
            ctx.abbin_value};
}

QStringList sologRecord(const MainModule& m, const QString& sourceName, const QDateTime& created) {
    const SlotContext& ctx = m.slot;
    return {sourceName,
            ctx.folder,
            QString(),
            formatDate(created, DatePattern::YYYYMMDD),
            formatDate(created, DatePattern::HHMMSS),
            m.frontend.operatorCode(),
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

// A file the pass leaves alone without a word: our own temporary copies, the encryption tool's
// work file in a slot that encrypts (elsewhere that name is a document like any other), names
// that cannot be addressed as text, and files another program is still writing.
bool passedOverSilently(const SlotContext& ctx, const platform::FileEntry& file, const QDateTime& now) {
    if (!file.nameIsText || platform::isTemporaryCopyName(file.name) ||
        (file.name == kEncryptionWorkFileName && slotEncrypts(ctx)))
        return true;
    return platform::isStillArriving(ctx.folder + file.name, file.modified, now);
}

void processFile(MainModule& m, Pass& pass, const ControlRule& rule, DeliveryJournal& journal,
                 const platform::FileEntry& file) {
    SlotContext& ctx = m.slot;
    const QString& sourceName = file.name;
    if (sourceName == kEncryptedName)
        return;
    if (!passesControlRule(rule, sourceName))
        return;
    if (passedOverSilently(ctx, file, m.clock.now()))
        return;
    if (breaksRecordLines(sourceName)) {
        m.addLine(QStringLiteral(" File non elaborato: il nome contiene una tabulazione o un a capo : ") +
                  ctx.folder + withLineBreaksShown(sourceName));
        return;
    }

    pass.step = 4;
    const qsizetype dot = dotPosition(sourceName);
    m.addLine(QStringLiteral(" File : ") + sourceName + QStringLiteral(" pospunto ") + QString::number(dot));
    pass.step = 44;
    const QString token = extensionToken(sourceName, dot);
    if (!acceptedByExtension(sourceName, dot, token, m.settings.extension_list)) {
        pass.step = 35;
        return;
    }

    pass.step = 45;
    QString destinationName = baseDestinationName(sourceName, ctx.sihsit);
    pass.step = 48;
    if (wantsTimeStampedName(ctx)) {
        pass.step = 4776;
        destinationName = timeStampedName(destinationName, sourceName, dot, file.created);
        pass.step = 4777;
    }

    pass.step = 5;
    if (!passesFormatoateneFilter(destinationName, ctx.format_marker, m.settings.formatoatene_prefissi))
        return;

    pass.step = 6;
    if (!pass.record.isOpen()) {
        ++m.record_file_counter;
        pass.record.open(m.folders.records, m.clock.now(), m.record_file_counter);
    }

    pass.step = 7;
    if (ctx.sololog) {
        pass.record.write(sologRecord(m, sourceName, file.created));
        ++pass.processed;
        return;
    }

    // The PODSITIR rule needs nothing that the later steps make, so it is known before the
    // encryption: a document the rule leaves in place is not changed.
    const PodsitirResult pod =
        ctx.podsitir ? applyPodsitir(destinationName, extensionAfterDot(sourceName, dot)) : PodsitirResult{};
    const bool podsitirKeepsIt = ctx.podsitir && pod.kind != PodsitirResult::Kind::Renamed;

    pass.step = 8;
    // The encryption step looks at the slot's switch itself.
    if (!podsitirKeepsIt &&
        encryptDocument(m, ctx.folder, sourceName, destinationName, pass.step) == EncryptionOutcome::Failed)
        return;

    const QString destinationFolder = buildDateFolders(ctx.parameters, ctx.dest_folder, file.created);

    if (ctx.podsitir) {
        if (pod.kind == PodsitirResult::Kind::NoMarker)
            return;
        if (pod.kind == PodsitirResult::Kind::Rejected) {
            m.addLine(QStringLiteral(" PODSITIR non copiato: nome non valido ") + ctx.folder + sourceName);
            return;
        }
        destinationName = pod.name;
    }

    const QStringList record =
        deliveredRecord(m, destinationName, destinationFolder, sourceName, file.created);
    JournalEntry pending{ctx.folder + sourceName, QString(), pass.record.path(), ctx.log_folder,
                         RecordFile::lineBytes(record).chopped(2)};
    const DeliveryPlan plan{ctx.folder,        sourceName,        destinationName,
                            destinationFolder, ctx.backup_folder, ctx.duplicates_folder};
    const bool duplicate = deliverCopies(m, plan, journal, std::move(pending), pass.step);

    pass.step = 31;
    ++pass.processed;
    pass.step = 32;
    platform::removeFile(ctx.folder + sourceName);
    pass.step = 33;
    m.addLine(QStringLiteral(" File elaborato : ") + ctx.folder + sourceName);
    pass.step = 34;
    if (!duplicate)
        pass.record.write(record);
    journal.clear();
    pass.step = 35;
}

// The error handler's line; a failure while a document was being filed names that document.
void reportFailure(MainModule& m, const Pass& pass, const platform::RunError& error,
                   const QString& document) {
    m.addLineAndRefresh(
        QStringLiteral(" Lettura Cartella ") + QString::number(pass.step) + QLatin1Char(' ') +
        QString::number(error.number()) + QLatin1Char(' ') + error.description() +
        (document.isEmpty() ? QString() : QStringLiteral(" : ") + withLineBreaksShown(document)));
}

void summarise(MainModule& m, const Pass& pass) {
    const SlotContext& ctx = m.slot;
    m.addLine(QStringLiteral(" Fine lettura contenuto : ") + ctx.folder);
    m.addLine(QStringLiteral(" Elaborati : ") + QString::number(pass.processed));
    if (m.flags.autorun())
        m.frontend.showMessage(QStringLiteral("Elaborati ") + QString::number(pass.processed) +
                               QStringLiteral(" file PDF\r\nOrigine ") + ctx.folder +
                               QStringLiteral("\r\nDestinazione ") + ctx.dest_folder);
    if (m.flags.scheduled())
        m.addLine(QStringLiteral(" Elaborati ") + QString::number(pass.processed) + QStringLiteral(" file ") +
                  QStringLiteral(" Origine ") + ctx.folder + QStringLiteral(" Destinazione ") +
                  ctx.dest_folder);
}

}  // namespace

void letturacartella(MainModule& m) {
    SlotContext& ctx = m.slot;
    Pass pass;
    DeliveryJournal journal(m.folders.records);
    QString document;  // input folder + name of the document being filed
    try {
        ctx.folder = withTrailingSeparator(ctx.folder);
        ctx.dest_folder = withTrailingSeparator(ctx.dest_folder);
        ctx.log_folder = withTrailingSeparator(ctx.log_folder);
        if (!ctx.dircgd_value.isEmpty())
            ctx.dircgd_value = withTrailingSeparator(ctx.dircgd_value);
        const ControlRule rule = decideControlRule(ctx);
        if (!ctx.sololog && !ctx.is_main_folder && !platform::folderExists(ctx.dest_folder))
            platform::createFolder(ctx.dest_folder);

        pass.step = 2;
        m.addLine(QStringLiteral(" Inizio lettura contenuto : ") + ctx.folder);
        pass.step = 3;
        const std::vector<platform::FileEntry> files = platform::listRegularFiles(ctx.folder);
        removeLeftoverCopies(ctx);
        for (const platform::FileEntry& file : files) {
            document = ctx.folder + file.name;
            try {
                processFile(m, pass, rule, journal, file);
            } catch (const platform::SourceError& error) {
                // This document could not be read; it stays where it is, and the others go on.
                reportFailure(m, pass, error, document);
                journal.clear();
            }
        }
        document.clear();

        pass.record.close();
        pass.step = 36;
        summarise(m, pass);
        pass.step = 37;
    } catch (const platform::RunError& error) {
        reportFailure(m, pass, error, document);
    }
    pass.record.close();
    if (pass.processed != 0)
        pass.record.handOver(ctx.log_folder);
}

}  // namespace dokivo
