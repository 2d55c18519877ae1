// Delivery in batches against delivery document by document: the same two passes over the same
// folder, once with batches of one document and once with the default batches, must leave the same
// files, the same operation lines in the same order and the same record lines.

#include <QDirIterator>

#include "support/PassScenario.h"

using namespace dokivo;
using namespace dokivo::test;

namespace {

// What two passes over a slot laid out by `layout` ("@..." and "+..." as in the scenarios) and
// `scans` more scans leave: the lines, then every file of the tree but the journal, with its content.
QString outcome(const QStringList& layout, int scans, const Hook& arrange, int documentsPerBatch) {
    PassTree f;
    f.lay(layout);
    for (int i = 0; i < scans; ++i)
        f.drop(QStringLiteral("in/Scan %1.pdf=%1").arg(i, 3, 10, QLatin1Char('0')));
    if (arrange)
        arrange(f);
    f.m().delivery_limits.documents = documentsPerBatch;
    const auto listed = platform::listRegularFiles(f.tree.path("in"));
    f.pass();
    f.pass();  // the second pass finishes what a failure left, and files nothing twice
    const QString root = f.tree.path();
    QStringList files;
    for (QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
        if (it.next(), it.fileName() != kJournalFileName)  // how much it holds is what batches change
            files << it.filePath().mid(root.size()) + " = " + f.tree.read(it.filePath().mid(root.size()));
    files.sort();
    // The two trees have their own root, their own creation times and their own listing order:
    // the scans are named by their place in the listing.
    QString text = (f.messages() + files).join('\n').replace(root, "<root>/");
    text.replace(QRegularExpression("\t\\d{8}\t\\d{6}\t"), "\t<created>\t");
    int place = 0;
    for (const auto& file : listed)
        if (file.name.startsWith("Scan ")) {
            const QString shown = QStringLiteral("Document#%1").arg(place++);
            text.replace(file.name.chopped(4), shown).replace(file.name.chopped(4).replace(' ', '_'), shown);
        }
    return text;
}

}  // namespace

TEST(BatchDelivery, FilesWritesAndRecordsAsDocumentByDocument) {
    const struct {
        const char* what;
        QStringList layout;
        int scans = 0;
        Hook arrange = {};
    } rows[] = {
        {"more documents than one batch, dated folders, a backup",
         {"@dir_backup_0={bak}", "@dir_nazionale_0=CREA:AA/MM/GG;"},
         150},
        {"pairs of sources that become one name, different bytes and the same, with a duplicates folder",
         {"@dir_backup_0={bak}", "@dir_doppioni_0={dup}", "+in/a b.pdf=first", "+in/a_b.pdf=second",
          "+in/c d.pdf=same", "+in/c_d.pdf=same", "+in/e.pdf=third"}},
        {"two sources that become one name, no duplicates folder",
         {"@dir_backup_0={bak}", "+in/a b.pdf=first", "+in/a_b.pdf=second"}},
        {"the backup folder is the destination folder",
         {"@dir_doppioni_0={dup}", "@dir_backup_0={out}", "+in/a.pdf=a", "+in/b.pdf=b"}},
        {"names taken earlier, documents refused and skipped",
         {"@dir_backup_0={bak}", "@dir_doppioni_0={dup}", "+out/Taken.pdf=filed earlier",
          "+bak/Taken.pdf=an earlier backup", "+in/Taken.pdf=new", "+in/nota.txt=not a document",
          "+in/CRIPTATO.PDF=left alone"},
         5},
        {"a target that fails on the third document",
         {"@dir_backup_0={bak}"},
         5,
         [](PassTree& f) {  // a folder stands where the third backup copy goes
             f.tree.folder("bak/" + platform::listRegularFiles(f.tree.path("in"))[2].name.replace(' ', '_'));
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(outcome(row.layout, row.scans, row.arrange, DeliveryLimits().documents).toStdString(),
                  outcome(row.layout, row.scans, row.arrange, 1).toStdString());
    }
}
