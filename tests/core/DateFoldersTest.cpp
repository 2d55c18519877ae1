#include <gtest/gtest.h>

#include "platform/DateText.h"
#include "processing/DateFolders.h"
#include "support/TestSupport.h"

using namespace dokivo;
using dokivo::test::TempTree;

namespace {

const QDateTime kCreated(QDate(2024, 3, 5), QTime(14, 7, 9));

struct Layout {
    const char* parameters;
    QStringList expectedLevels;  // relative to the root, outermost first; empty: the root itself
};

}  // namespace

TEST(DateFolders, EveryLayoutCreatesItsLevelsAndReturnsTheDeepest) {
    const QString ddd = platform::formatDate(kCreated, platform::DatePattern::DDD);
    const std::vector<Layout> layouts{
        {"CREA:AA/MM/GG;", {"24", "24/03", "24/03/05"}},
        {"PODSITIR;CREA:MM;", {"03"}},
        {"crea:MM/GG;", {"03", "03/05"}},
        {"CREA:AA/GGG;", {"24", "24/" + ddd}},
        {"CREA:GGG;", {"24", "24/" + ddd}},  // the year level is made too, so the copy can go in
        {"CREA:AA/MM;", {"24", "24/03"}},
        {"CREA:aa/mm;", {}},
        {"CREA:AA/MM/GG", {"24", "24/03", "24/03/05"}},  // no ";": the code runs to the end of the text
        {"SOLOLOG", {}},
        {"", {}},
    };
    for (const Layout& layout : layouts) {
        TempTree tree;
        const QString root = tree.folder("out");
        const QString folder = buildDateFolders(layout.parameters, root, kCreated);
        const QString deepest = layout.expectedLevels.isEmpty()
                                    ? QString()
                                    : QDir::toNativeSeparators(layout.expectedLevels.back() + "/");
        EXPECT_EQ(folder, root + deepest) << layout.parameters;
        // The configuration check names a layout unknown exactly when it makes no levels.
        EXPECT_EQ(knownLayoutCodes().contains(layoutCode(layout.parameters)),
                  !layout.expectedLevels.isEmpty())
            << layout.parameters;
        for (const QString& level : layout.expectedLevels)
            EXPECT_TRUE(QFileInfo(root + level).isDir()) << layout.parameters << " " << level.toStdString();
        EXPECT_EQ(QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(),
                  layout.expectedLevels.isEmpty() ? 0 : 1)
            << layout.parameters;
    }
}

TEST(DateFolders, RunningTwiceForTheSameDayIsHarmless) {
    TempTree tree;
    const QString root = tree.folder("out");
    tree.write("out/24/03/05/kept.pdf", "x");
    const QString dated = root + QDir::toNativeSeparators("24/03/05/");
    EXPECT_EQ(buildDateFolders("CREA:AA/MM/GG;", root, kCreated), dated);
    EXPECT_EQ(buildDateFolders("CREA:AA/MM/GG;", root, kCreated), dated);
    EXPECT_EQ(tree.read("out/24/03/05/kept.pdf"), "x");
}

TEST(DateFolders, AnUncreatableLevelIsLeftForTheCopyToReport) {
    TempTree tree;
    tree.write("out/24", "a file where the year folder should be");
    EXPECT_EQ(buildDateFolders("CREA:AA/MM;", tree.folder("out"), kCreated), tree.path("out/24/03/"));
}

TEST(DateFolders, LayoutCodeIsTakenWithItsLetterCase) {
    EXPECT_EQ(layoutCode("x;Crea:AA/mm;y"), "AA/mm");
    EXPECT_EQ(layoutCode("CREA:"), "");
    EXPECT_EQ(layoutCode("nothing"), "");
}
