#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "platform/ConcurrentFlush.h"
#include "platform/StagedCopy.h"
#include "processing/DeliveryJournal.h"

namespace dokivo {

struct PassEnvironment;
class RecordFile;

// What the folder pass tells the batch and the batch tells the folder pass: the stage reached, for
// the error line, the document being filed and the processed count.
struct PassProgress {
    int step = 0;
    QString document;  // input folder + name of the document being filed
    qint64 processed = 0;
};

// A document whose copies wait in the batch; once they have taken their names it is filed: counted,
// its source deleted, " File elaborato : " and its record line.
struct FiledDocument {
    QString source;
    platform::DocumentState state;      // as it was copied: a source changed since then stays
    std::optional<QStringList> record;  // none for a duplicate
};

// The documents of a folder pass delivered in groups. The pass stages each document's copies here
// under temporary names and says what it would write; the batch holds back every line. When it is
// committed (full, a document needs a name the batch has claimed, the folder is done, or something
// else must come first), the copies' data are flushed together, the copies take their names, each
// folder they went to is flushed once, and only then are the sources deleted and the lines and
// record lines written: the same lines in the same order as document by document, and a source
// goes only once every copy of it is durable under its final name. The record file is flushed
// with each batch's copies, so that a power cut loses no record line the journal cannot rewrite.
class DeliveryBatch {
  public:
    DeliveryBatch(const PassEnvironment& env, DeliveryJournal& journal, RecordFile& record,
                  PassProgress& progress);
    DeliveryBatch(const DeliveryBatch&) = delete;
    DeliveryBatch& operator=(const DeliveryBatch&) = delete;

    // An operation line, in its place among the batch's.
    void addLine(const QString& text, bool refresh = false);
    // A temporary name in `folder` for a copy of this batch, announced in the journal first.
    QString temporaryIn(const QString& folder);
    // Whether a copy waiting here will take the final name `path`.
    bool claims(const QString& path) const { return claimed_.contains(path); }
    // A copy and the line it gets once it has its name; the progress's step and document are kept
    // for the error line should it fail.
    void addCopy(platform::StagedCopy copy, const QString& line, qint64 bytes);
    // Every copy of the document is staged: the journal learns how to finish it.
    void addFiled(FiledDocument document, const JournalEntry& entry);

    bool full() const;
    // Commits what is gathered; the pass's step and document are as they were when it returns.
    // Throws RunError as the pass would have met it document by document, with the step and
    // document of that moment left in the progress. The journal keeps the batch's notes until its
    // record lines are on disk: flushed with the next batch's copies, or by close().
    void commit();
    // The pass's last commit: the record file is flushed and closed, and the journal forgotten
    // unless a commit failed part-way.
    void close();
    // The token in this pass's temporary names.
    quint32 token() const { return token_; }

  private:
    struct Item {
        enum class Kind { Line, Copy, Filed };
        Kind kind = Kind::Line;
        QString text;
        bool refresh = false;
        int step = 0;
        QString document;
        std::size_t copy = 0;
        FiledDocument filed;
    };
    std::vector<std::exception_ptr> makeDurable();
    void replay(const std::vector<std::exception_ptr>& failures);
    void fileDocument(const FiledDocument& document);
    void reset();

    const PassEnvironment& env_;
    DeliveryJournal& journal_;
    RecordFile& record_;
    PassProgress& progress_;
    platform::ConcurrentFlush flusher_;
    std::vector<Item> items_;
    std::vector<platform::StagedCopy> copies_;
    QSet<QString> claimed_;
    int documents_ = 0;
    qint64 bytes_ = 0;
    qint64 startedMs_ = 0;
    qint64 temporaries_ = 0;
    const quint32 token_;      // in the temporary names: another installation's pass has another
    bool unfinished_ = false;  // a commit failed: the journal stays for the next scan pass
};

}  // namespace dokivo
