// Delivery in batches against delivery document by document: the same pass over the same folder,
// once with batches of one document and once with the default batches, must leave the same files,
// the same operation lines in the same order and the same record lines.

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QRegularExpression>
#include <functional>

#include "platform/FileSystem.h"
#include "processing/DeliveryJournal.h"
#include "support/PassScenario.h"

using namespace dokivo;
using dokivo::test::PassTree;

namespace {

struct Scenario {
    const char* name;
    QMap<QString, QString> slot;  // keys of slot 0 beyond its three folders
    std::function<void(PassTree&)> prepare;
};

// What a pass leaves: its lines and every file of the tree, with the tree's root cut out.
struct Outcome {
    QStringList lines;
    QStringList files;  // path, then content
};

Outcome run(const Scenario& s, int documentsPerBatch) {
    PassTree f;
    const QString root = f.tree.path();
    for (auto it = s.slot.begin(); it != s.slot.end(); ++it)
        f.set(it.key() + "0=" + f.tree.folder(it.value()));
    s.prepare(f);
    f.m().delivery_limits.documents = documentsPerBatch;
    // The file system lists each folder in an order of its own: the documents are named by their
    // place in the listing, so that the two runs compare.
    QList<std::pair<QString, QString>> places;
    int place = 0;
    for (const auto& file : platform::listRegularFiles(f.tree.path("in")))
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

void dropMany(PassTree& f, int count) {
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("Scan %1.pdf").arg(i, 3, 10, QLatin1Char('0'));
        f.drop("in/" + name + "=" + name);
    }
}

}  // namespace

TEST(BatchDelivery, FilesWritesAndRecordsAsDocumentByDocument) {
    const QMap<QString, QString> backupAndDuplicates{{"dir_backup_", "bak"}, {"dir_doppioni_", "dup"}};
    const Scenario scenarios[] = {
        {"more documents than one batch, dated folders, a backup",
         {{"dir_backup_", "bak"}, {"dir_nazionale_", "CREA:AA/MM/GG;"}},
         [](PassTree& f) { dropMany(f, 150); }},
        {"two sources that become one name, different bytes, with a duplicates folder", backupAndDuplicates,
         [](PassTree& f) {
             f.drop("in/a b.pdf=first");
             f.drop("in/a_b.pdf=second");
             f.drop("in/c.pdf=third");
         }},
        {"two sources that become one name, the same bytes, with a duplicates folder", backupAndDuplicates,
         [](PassTree& f) {
             f.drop("in/a b.pdf=same");
             f.drop("in/a_b.pdf=same");
         }},
        {"two sources that become one name, no duplicates folder",
         {{"dir_backup_", "bak"}},
         [](PassTree& f) {
             f.drop("in/a b.pdf=first");
             f.drop("in/a_b.pdf=second");
         }},
        {"the backup folder is the destination folder",
         {{"dir_doppioni_", "dup"}},
         [](PassTree& f) {
             f.set("dir_backup_0={out}");
             f.drop("in/a.pdf=a");
             f.drop("in/b.pdf=b");
         }},
        {"names taken earlier, documents refused and skipped", backupAndDuplicates,
         [](PassTree& f) {
             f.tree.write("out/Taken.pdf", "filed earlier");
             f.tree.write("bak/Taken.pdf", "an earlier backup");
             f.drop("in/Taken.pdf=new");
             f.drop("in/nota.txt=not a document");
             f.drop("in/CRIPTATO.PDF=left alone");
             dropMany(f, 5);
         }},
        {"a target that fails on the third document",
         {{"dir_backup_", "bak"}},
         [](PassTree& f) {
             dropMany(f, 5);
             const auto files = platform::listRegularFiles(f.tree.path("in"));
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
