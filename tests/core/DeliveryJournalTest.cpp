#include <gtest/gtest.h>

#include "processing/DeliveryJournal.h"
#include "support/PassFixture.h"

using namespace dokivo;
using dokivo::test::ModuleFixture;

namespace {

// The state a crash leaves behind, rebuilt by hand: a journal entry and whatever of its
// delivery had happened.
struct Recovery : ModuleFixture, ::testing::Test {
    JournalEntry entry() const {
        return {tree.path("in/doc.pdf"),
                tree.path("out/doc.pdf"),
                QString(),
                tree.path("app/dokivolog05140307_1.txt"),
                tree.folder("log"),
                qint64(qstrlen(kHeader)),
                "doc.pdf\t/out/\t\t20240305\t140307\t\t\t/in/\t"};
    }
    void journal(const JournalEntry& e) {
        DeliveryJournal j(tree.path("app/"));
        j.noteDocument(e);
    }
    QByteArray record() const { return tree.read("app/dokivolog05140307_1.txt"); }
    static constexpr const char* kHeader = "DOKIVO\tDIR_DESTINAZIONE\r\n";
};

}  // namespace

TEST_F(Recovery, ACopyInPlaceWithItsSourceStillThereIsFinishedOnce) {
    tree.write("in/doc.pdf", "bytes");
    tree.write("out/doc.pdf", "bytes");
    tree.write("app/dokivolog05140307_1.txt", kHeader);
    journal(entry());
    recoverInterruptedDelivery(m().folders.records, m().operations);
    EXPECT_FALSE(tree.exists("in/doc.pdf"));
    EXPECT_EQ(record(), QByteArray(kHeader) + entry().recordLine + "\r\n");
    EXPECT_EQ(tree.read("log/dokivolog05140307_1.txt"), record()) << "handed over again";
    EXPECT_EQ(messages(), QStringList{" File elaborato : " + tree.path("in/doc.pdf")});
    EXPECT_FALSE(tree.exists("app/" + kJournalFileName));

    recoverInterruptedDelivery(m().folders.records, m().operations);  // nothing left to do
    EXPECT_EQ(record().count("\r\n"), 2);
}

TEST_F(Recovery, ARecordLineAlreadyWrittenIsNotWrittenTwice) {
    tree.write("out/doc.pdf", "bytes");
    tree.write("app/dokivolog05140307_1.txt", QByteArray(kHeader) + entry().recordLine + "\r\n");
    journal(entry());
    recoverInterruptedDelivery(m().folders.records, m().operations);
    EXPECT_EQ(record().count("\r\n"), 2);
}

TEST_F(Recovery, ARecordLineCutInHalfIsReplacedByTheWholeOne) {
    tree.write("out/doc.pdf", "bytes");
    tree.write("app/dokivolog05140307_1.txt", QByteArray(kHeader) + entry().recordLine.left(9));
    journal(entry());
    recoverInterruptedDelivery(m().folders.records, m().operations);
    EXPECT_EQ(record(), QByteArray(kHeader) + entry().recordLine + "\r\n");
}

TEST_F(Recovery, ACopyThatNeverTookItsNameLeavesTheSourceForTheNextPass) {
    tree.write("in/doc.pdf", "new bytes");
    tree.write("out/doc.pdf", "an older document of the same name");
    tree.write("app/dokivolog05140307_1.txt", kHeader);
    journal(entry());
    recoverInterruptedDelivery(m().folders.records, m().operations);
    EXPECT_EQ(tree.read("in/doc.pdf"), "new bytes");
    EXPECT_EQ(record(), kHeader);
    EXPECT_FALSE(tree.exists("app/" + kJournalFileName));
}

TEST_F(Recovery, ADuplicateEntryDeletesTheSourceButWritesNoRecord) {
    JournalEntry dup = entry();
    dup.target = tree.path("dup/doc.pdf");
    dup.recordFile.clear();
    dup.recordLine.clear();
    tree.write("in/doc.pdf", "bytes");
    tree.write("dup/doc.pdf", "bytes");
    journal(dup);
    recoverInterruptedDelivery(m().folders.records, m().operations);
    EXPECT_FALSE(tree.exists("in/doc.pdf"));
    EXPECT_TRUE(QDir(tree.path("log")).isEmpty());
}

TEST_F(Recovery, AnEntryCutShortByACrashIsIgnored) {
    tree.write("in/doc.pdf", "bytes");
    tree.write("out/doc.pdf", "bytes");
    journal(entry());
    tree.write("app/" + kJournalFileName, tree.read("app/" + kJournalFileName).chopped(1));
    recoverInterruptedDelivery(m().folders.records, m().operations);
    EXPECT_TRUE(tree.exists("in/doc.pdf"));
    EXPECT_FALSE(tree.exists("app/" + kJournalFileName));
}
