#include "platform/DateText.h"
#include "processing/DateFolders.h"
#include "support/TestSupport.h"

using namespace dokivo;
using dokivo::test::TempTree;

// Each layout makes its levels below the root and gives the deepest (the passes build them again
// over existing ones); the configuration check calls a layout unknown exactly when it makes no
// levels (the text it names is that check's test; any text's folders staying inside the root is
// the fuzz target's).
TEST(DateFolders, EveryLayoutCreatesItsLevelsAndReturnsTheDeepest) {
    const QDateTime created(QDate(2024, 3, 5), QTime(14, 7, 9));
    const QString ddd = platform::formatDate(created, platform::DatePattern::DDD);
    const struct {
        const char* parameters;
        QStringList levels;  // outermost first; none: the root itself
    } rows[] = {
        {"PODSITIR;CREA:MM;", {"03"}},
        {"crea:MM/GG;", {"03", "03/05"}},
        {"CREA:AA/GGG;", {"24", "24/" + ddd}},
        {"CREA:GGG;", {"24", "24/" + ddd}},              // the year level too, so the copy can go in
        {"x;Crea:AA/mm;y", {}},                          // the code keeps its letter case
        {"CREA:AA/MM/GG", {"24", "24/03", "24/03/05"}},  // no ";": to the end of the text
        {"CREA:", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.parameters);
        TempTree tree;
        const QString root = tree.folder("out");
        const QString deepest =
            row.levels.isEmpty() ? QString() : QDir::toNativeSeparators(row.levels.back() + "/");
        EXPECT_EQ(buildDateFolders(row.parameters, root, created), root + deepest);
        EXPECT_EQ(knownLayoutCodes().contains(layoutCode(row.parameters)), !row.levels.isEmpty());
        for (const QString& level : row.levels)
            EXPECT_TRUE(QFileInfo(root + level).isDir()) << level;
        EXPECT_EQ(tree.entries("out").size(), row.levels.isEmpty() ? 0 : 1);
    }
    // A level that cannot be made is left for the copy to report.
    TempTree tree;
    tree.write("out/24", "a file where the year folder should be");
    EXPECT_EQ(buildDateFolders("CREA:AA/MM;", tree.folder("out"), created), tree.path("out/24/03/"));
}
