#include "processing/DeliveryJournal.h"
#include "support/TestSupport.h"

using namespace dokivo;
using namespace dokivo::test;

// The state a crash leaves behind, rebuilt by hand: a journal entry and whatever of its delivery
// had happened. Recovery finishes what was copied, once, and leaves the rest for the next pass.
TEST(Recovery, FinishesAnInterruptedDeliveryOnceOrLeavesTheSource) {
    const QByteArray header = "DOKIVO\tDIR_DESTINAZIONE\r\n";
    const QByteArray line = "doc.pdf\t/out/\t\t20240305\t140307\t\t\t/in/\t";
    const struct {
        const char* what;
        QStringList before;  // "path=content"
        QByteArray record;   // the record file before; after, it holds the line once
        bool sourceStays;
        int cut = 0;  // bytes a crash cut off the end of the journal
    } rows[] = {
        {"a copy beside its source", {"in/doc.pdf=bytes", "out/doc.pdf=bytes"}, header, false},
        {"a record line already written", {"out/doc.pdf=bytes"}, header + line + "\r\n", false},
        {"a record line cut in half", {"out/doc.pdf=bytes"}, header + line.left(9), false},
        {"a copy that never took its name", {"in/doc.pdf=new", "out/doc.pdf=older"}, header, true},
        {"an entry cut short is ignored", {"in/doc.pdf=bytes", "out/doc.pdf=bytes"}, header, true, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ModuleFixture f;
        for (const QString& item : row.before)
            f.tree.write(item.section('=', 0, 0), item.section('=', 1).toUtf8());
        f.tree.write("app/dokivolog05140307_1.txt", row.record);
        DeliveryJournal(f.tree.path("app/"))
            .noteDocument({f.tree.path("in/doc.pdf"), f.tree.path("out/doc.pdf"), QString(),
                           f.tree.path("app/dokivolog05140307_1.txt"), f.tree.folder("log"), header.size(),
                           line});
        const QString journal = "app/" + kJournalFileName;
        f.tree.write(journal, f.tree.read(journal).chopped(row.cut));
        recoverInterruptedDelivery(f.m().folders.records, f.m().operations);
        recoverInterruptedDelivery(f.m().folders.records, f.m().operations);  // nothing left to do
        EXPECT_EQ(f.tree.exists("in/doc.pdf"), row.sourceStays);
        EXPECT_FALSE(f.tree.exists(journal));
        const QByteArray record = f.tree.read("app/dokivolog05140307_1.txt");
        EXPECT_EQ(record, row.sourceStays ? row.record : QByteArray(header + line + "\r\n"));
        EXPECT_EQ(f.tree.entries("log").size(), row.sourceStays ? 0 : 1);
        EXPECT_EQ(f.tree.read("log/dokivolog05140307_1.txt"), row.sourceStays ? "" : record)
            << "handed over again";
        // the line of a source it deleted
        EXPECT_EQ(f.messages(), row.before.size() == 2 && !row.sourceStays
                                    ? QStringList{" File elaborato : " + f.tree.path("in/doc.pdf")}
                                    : QStringList{});
    }
}
