#include "processing/DeliveryBatch.h"

#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/DurableCopy.h"
#include "platform/FileSystem.h"
#include "platform/RunError.h"
#include "processing/FailureLine.h"
#include "processing/PassEnvironment.h"
#include "processing/RecordFile.h"

namespace dokivo {

DeliveryBatch::DeliveryBatch(const PassEnvironment& env, DeliveryJournal& journal, RecordFile& record,
                             PassProgress& progress)
    : env_(env), journal_(journal), record_(record), progress_(progress), token_(platform::newCopyToken()) {}

void DeliveryBatch::addLine(const QString& text, bool refresh) {
    Item item;
    item.kind = Item::Kind::Line;
    item.text = text;
    item.refresh = refresh;
    items_.push_back(std::move(item));
}

QString DeliveryBatch::temporaryIn(const QString& folder) {
    journal_.noteCopyFolder(folder, token_);
    return folder + platform::stagedCopyName(++temporaries_, token_);
}

void DeliveryBatch::addCopy(platform::StagedCopy copy, const QString& line, qint64 bytes) {
    if (copies_.empty())
        startedMs_ = env_.clock.nowMSecsSinceEpoch();
    Item item;
    item.kind = Item::Kind::Copy;
    item.text = line;
    item.step = progress_.step;
    item.document = progress_.document;
    item.copy = copies_.size();
    items_.push_back(std::move(item));
    claimed_.insert(copy.target());
    copies_.push_back(std::move(copy));
    bytes_ += bytes;
}

void DeliveryBatch::addFiled(FiledDocument document, const JournalEntry& entry) {
    journal_.noteDocument(entry);
    Item item;
    item.kind = Item::Kind::Filed;
    item.filed = std::move(document);
    items_.push_back(std::move(item));
    ++documents_;
}

bool DeliveryBatch::full() const {
    const DeliveryLimits& limits = env_.delivery_limits;
    // Lines alone (a folder of files that stay) are held no longer than a batch's worth of them.
    return documents_ >= limits.documents || bytes_ >= limits.bytes ||
           items_.size() >= 8 * static_cast<std::size_t>(limits.documents) ||
           (!copies_.empty() && env_.clock.nowMSecsSinceEpoch() - startedMs_ >= limits.milliseconds);
}

void DeliveryBatch::commit() {
    if (items_.empty())
        return;
    const int step = progress_.step;
    const QString document = progress_.document;
    try {
        replay(makeDurable());
    } catch (...) {
        // The pass ends here. Copies that took their names stay; the journal keeps their documents
        // for the next scan pass to finish.
        reset();
        unfinished_ = true;
        throw;
    }
    reset();
    progress_.step = step;
    progress_.document = document;
}

void DeliveryBatch::close() {
    commit();
    record_.close();
    if (!unfinished_)
        journal_.clear();
}

// Flushes every copy's data, the journal and the record file side by side, renames the copies in
// order, then flushes every folder they went to side by side. Returns, per copy, how it failed; from
// the first failure on no copy takes its name, as document by document the pass would have stopped
// there.
std::vector<std::exception_ptr> DeliveryBatch::makeDurable() {
    // The journal and the record file go to disk with them, as two more flushes of the same commit:
    // the record lines of the batches before, which the journal could still rewrite, are then safe.
    std::vector<std::exception_ptr> failures = flusher_.run(copies_.size() + 2, [this](std::size_t i) {
        i < copies_.size() ? copies_[i].flush() : i == copies_.size() ? journal_.flush() : record_.flush();
    });
    failures.resize(copies_.size());
    QStringList folders;
    for (std::size_t i = 0; i < copies_.size() && !failures[i]; ++i) {
        try {
            copies_[i].commit();
        } catch (...) {
            failures[i] = std::current_exception();
            break;
        }
        if (const QString folder = platform::folderOf(copies_[i].target()); !folders.contains(folder))
            folders << folder;
    }
    flusher_.run(static_cast<std::size_t>(folders.size()),
                 [&folders](std::size_t i) { platform::syncFolder(folders[static_cast<qsizetype>(i)]); });
    return failures;
}

void DeliveryBatch::replay(const std::vector<std::exception_ptr>& failures) {
    for (const Item& item : items_) {
        switch (item.kind) {
            case Item::Kind::Line:
                item.refresh ? env_.addLineAndRefresh(item.text) : env_.addLine(item.text);
                break;
            case Item::Kind::Copy:
                progress_.step = item.step;
                progress_.document = item.document;
                if (failures[item.copy])
                    std::rethrow_exception(failures[item.copy]);
                env_.addLine(item.text);
                break;
            case Item::Kind::Filed:
                fileDocument(item.filed);
                break;
        }
    }
}

void DeliveryBatch::fileDocument(const FiledDocument& document) {
    progress_.document = document.source;
    progress_.step = 31;
    // A source that changed after it was copied is not the document its copies hold: it stays, and
    // a later pass takes it again. One that is gone (taken out by hand, or by another installation
    // that does not share the folder's lock) is filed all the same: its copies are complete.
    const platform::DocumentState now = platform::documentState(document.source);
    const bool gone = now != document.state && !platform::entryExists(document.source);
    if (now != document.state && !gone) {
        env_.addLineAndRefresh(failureLine(
            32, platform::SourceError(platform::errnum::PermissionDenied, document.source), document.source));
        return;
    }
    ++progress_.processed;
    progress_.step = 32;
    if (!gone) {
        try {
            platform::removeFile(document.source);
        } catch (const platform::RunError& error) {
            if (error.number() != platform::errnum::FileNotFound)  // gone since it was looked at
                throw;
        }
    }
    progress_.step = 33;
    env_.addLine(QStringLiteral(" File elaborato : ") + document.source);
    progress_.step = 34;
    if (document.record)
        record_.write(*document.record);
    progress_.step = 35;
}

void DeliveryBatch::reset() {
    items_.clear();
    copies_.clear();  // a copy that did not take its name removes its temporary file
    claimed_.clear();
    documents_ = 0;
    bytes_ = 0;
}

}  // namespace dokivo
