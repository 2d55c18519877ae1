// Delivery in batches against delivery document by document: the same pass over the same folder,
// once with batches of one document and once with the default batches, must leave the same files,
// the same operation lines in the same order and the same record lines.

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QRegularExpression>
#include <functional>

#include "platform/FileSystem.h"
#include "processing/DeliveryJournal.h"
#include "support/PassFixture.h"

using namespace dokivo;
using dokivo::test::PassFixture;

namespace {

struct Scenario {
    const char* name;
    QMap<QString, QString> slot;  // keys of slot 0 beyond its three folders
    std::function<void(PassFixture&)> prepare;
};

// What a pass leaves: its lines and every file of the tree, with the tree's root cut out.
struct Outcome {
    QStringList lines;
    QStringList files;  // path, then content
};

Outcome run(const Scenario& s, int documentsPerBatch) {
    PassFixture f;
    const QString root = f.tree.path();
    QMap<QString, QString> extra = s.slot;
    for (auto it = extra.begin(); it != extra.end(); ++it)
        it.value() = f.tree.folder(it.value());
    f.slot(0, extra);
    s.prepare(f);
    f.m().delivery_limits.documents = documentsPerBatch;
    // The file system lists each folder in an order of its own: the documents are named by their
    // place in the listing, so that the two runs compare.
    QList<std::pair<QString, QString>> places;
    int place = 0;
    for (const auto& file : platform::listRegularFiles(f.in(0)))
        if (file.name.startsWith("Scan ")) {
            const QString base = file.name.chopped(4);
            const QString shown = QStringLiteral("Document#%1").arg(place++);
            places << std::pair(base, shown) << std::pair(QString(base).replace(' ', '_'), shown);
        }
    const auto normalised = [&](QString text) {
        text.replace(root, QStringLiteral("<root>/"));
        // The scans' creation times are the two runs' own.
        static const QRegularExpression created(QStringLiteral("\t\\d{8}\t\\d{6}\t"));
        text.replace(created, QStringLiteral("\t<created>\t"));
        for (const auto& [name, shown] : places)
            text.replace(name, shown);
        return text;
    };
    f.pass();
    f.pass();  // the second pass finishes what a failure left, and files nothing twice

    Outcome o;
    for (const QString& line : f.messages())
        o.lines << normalised(line);
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (it.fileName() == kJournalFileName)
            continue;  // how much it holds is what batches change
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        o.files << normalised(path.mid(root.size()) + " = " + QString::fromUtf8(file.readAll()));
    }
    o.files.sort();
    return o;
}

void dropMany(PassFixture& f, int count) {
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("Scan %1.pdf").arg(i, 3, 10, QLatin1Char('0'));
        f.drop(0, name, name.toUtf8());
    }
}

}  // namespace

TEST(BatchDelivery, FilesWritesAndRecordsAsDocumentByDocument) {
    const QMap<QString, QString> backupAndDuplicates{{"dir_backup_", "bak"}, {"dir_doppioni_", "dup"}};
    const Scenario scenarios[] = {
        {"more documents than one batch, dated folders, a backup",
         {{"dir_backup_", "bak"}, {"dir_nazionale_", "CREA:AA/MM/GG;"}},
         [](PassFixture& f) { dropMany(f, 150); }},
        {"two sources that become one name, different bytes, with a duplicates folder", backupAndDuplicates,
         [](PassFixture& f) {
             f.drop(0, "a b.pdf", "first");
             f.drop(0, "a_b.pdf", "second");
             f.drop(0, "c.pdf", "third");
         }},
        {"two sources that become one name, the same bytes, with a duplicates folder", backupAndDuplicates,
         [](PassFixture& f) {
             f.drop(0, "a b.pdf", "same");
             f.drop(0, "a_b.pdf", "same");
         }},
        {"two sources that become one name, no duplicates folder",
         {{"dir_backup_", "bak"}},
         [](PassFixture& f) {
             f.drop(0, "a b.pdf", "first");
             f.drop(0, "a_b.pdf", "second");
         }},
        {"the backup folder is the destination folder",
         {{"dir_doppioni_", "dup"}},
         [](PassFixture& f) {
             f.ini["dir_backup_0"] = f.out(0);
             f.drop(0, "a.pdf", "a");
             f.drop(0, "b.pdf", "b");
         }},
        {"names taken earlier, documents refused and skipped", backupAndDuplicates,
         [](PassFixture& f) {
             f.tree.write("s0/out/Taken.pdf", "filed earlier");
             f.tree.write("bak/Taken.pdf", "an earlier backup");
             f.drop(0, "Taken.pdf", "new");
             f.drop(0, "nota.txt", "not a document");
             f.drop(0, "CRIPTATO.PDF", "left alone");
             dropMany(f, 5);
         }},
        {"a target that fails on the third document",
         {{"dir_backup_", "bak"}},
         [](PassFixture& f) {
             dropMany(f, 5);
             const auto files = platform::listRegularFiles(f.in(0));
             QDir().mkpath(f.tree.path("bak/") + QString(files[2].name).replace(' ', '_'));
         }},
    };
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.name);
        const Outcome one = run(s, 1);
        const Outcome batch = run(s, DeliveryLimits().documents);
        EXPECT_EQ(batch.lines.join('\n').toStdString(), one.lines.join('\n').toStdString());
        EXPECT_EQ(batch.files.join('\n').toStdString(), one.files.join('\n').toStdString());
    }
}
