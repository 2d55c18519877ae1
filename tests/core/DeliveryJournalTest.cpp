#include "processing/DeliveryJournal.h"
#include "processing/RecordFile.h"
#include "support/TestSupport.h"

using namespace dokivo;
using namespace dokivo::test;

// The state a crash leaves behind, rebuilt by hand: a journal entry and whatever of its delivery
// had happened. Recovery finishes what was copied, once, and leaves the rest for the next pass.
TEST(Recovery, FinishesAnInterruptedDeliveryOnceOrLeavesTheSource) {
    const QByteArray header = RecordFile::lineBytes(RecordFile::headerFields());
    const QByteArray line = "doc.pdf\t/out/\t\t20240305\t140307\t\t\t/in/\t";
    const struct {
        const char* what;
        QStringList before;  // "path=content"; "bytes" is the document the entry names
        QByteArray record;   // the record file before; after, it holds the line once if `recorded`
        bool sourceStays;
        bool recorded = !sourceStays;
        int cut = 0;  // bytes a crash cut off the end of the journal
    } rows[] = {
        {"a copy beside its source", {"in/doc.pdf=bytes", "out/doc.pdf=bytes"}, header, false},
        {"a record line already written", {"out/doc.pdf=bytes"}, header + line + "\r\n", false},
        {"a record line cut in half", {"out/doc.pdf=bytes"}, header + line.left(9), false},
        {"a record file a power cut emptied gets its header back", {"out/doc.pdf=bytes"}, "", false},
        {"a copy that never took its name", {"in/doc.pdf=new", "out/doc.pdf=older"}, header, true},
        {"a new document under the name of a filed one stays, the filed one is recorded",
         {"in/doc.pdf=a new scan", "out/doc.pdf=bytes"},
         header,
         true,
         true},
        {"a temporary copy whose own note a power cut lost",
         {"in/doc.pdf=bytes", "out/doc.pdf=bytes", "out/.~dokivo-copia-2.tmp=half a cop"},
         header,
         false},
        {"an entry cut short is ignored", {"in/doc.pdf=bytes", "out/doc.pdf=bytes"}, header, true, false, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ModuleFixture f;
        for (const QString& item : row.before)
            f.tree.write(item.section('=', 0, 0), item.section('=', 1).toUtf8());
        f.tree.write("app/dokivolog05140307_1.txt", row.record);
        // The document as it was copied: the source, or the copy once the source is gone or new.
        platform::DocumentState copied{5, 0};
        for (const char* file : {"out/doc.pdf", "in/doc.pdf"})
            if (f.tree.read(file) == "bytes")
                copied = platform::documentState(f.tree.path(file));
        {  // closed before recovery, as a finished pass leaves it (Windows deletes no open file)
            DeliveryJournal journal(f.tree.path("app/"));
            journal.noteCopyFolder(f.tree.path("out/"), 0);
            journal.noteDocument({f.tree.path("in/doc.pdf"), f.tree.path("out/doc.pdf"), QString(),
                                  f.tree.path("app/dokivolog05140307_1.txt"), f.tree.folder("log"),
                                  header.size(), line, copied});
        }
        const QString journalFile = "app/" + kJournalFileName;
        f.tree.write(journalFile, f.tree.read(journalFile).chopped(row.cut));
        recoverInterruptedDelivery(f.m().folders.records, f.m().operations);
        recoverInterruptedDelivery(f.m().folders.records, f.m().operations);  // nothing left to do
        EXPECT_EQ(f.tree.exists("in/doc.pdf"), row.sourceStays);
        EXPECT_FALSE(f.tree.exists(journalFile));
        EXPECT_FALSE(f.tree.exists("out/.~dokivo-copia-2.tmp"));
        const QByteArray record = f.tree.read("app/dokivolog05140307_1.txt");
        EXPECT_EQ(record, row.recorded ? QByteArray(header + line + "\r\n") : row.record);
        EXPECT_EQ(f.tree.entries("log").size(), row.recorded ? 1 : 0);
        EXPECT_EQ(f.tree.read("log/dokivolog05140307_1.txt"), row.recorded ? record : "")
            << "handed over again";
        // the line of a source it deleted
        EXPECT_EQ(f.messages(), row.before.contains("in/doc.pdf=bytes") && !row.sourceStays
                                    ? QStringList{" File elaborato : " + f.tree.path("in/doc.pdf")}
                                    : QStringList{});
    }
}
