#include <QScrollBar>
#include <QStringListModel>

#include "UiTestSupport.h"
#include "ui/OperationsListView.h"

using namespace dokivo;
using namespace dokivo::test;

namespace {

struct ListViewFixture : ::testing::Test {
    QStringListModel model;
    OperationsListView view;

    ListViewFixture() {
        QStringList lines;
        for (int i = 0; i < 50; ++i)
            lines << QStringLiteral("riga %1").arg(i);
        model.setStringList(lines);
        view.setModel(&model);
        view.resize(300, 120);
        view.show();
        settle();
    }
    QModelIndex row(int r) const { return model.index(r, 0); }
    int rowHeight() const { return view.visualRect(row(1)).top() - view.visualRect(row(0)).top(); }
    int visibleHeight() const { return view.viewport()->height(); }
    QModelIndex at(int y) const { return view.indexAt(QPoint(5, y)); }
};

}  // namespace

TEST_F(ListViewFixture, TheScrollRangesCoverEveryRowAndTheExtentAndNoLineLiesBeyondThem) {
    ASSERT_GT(rowHeight(), 0);
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 50 * rowHeight() - visibleHeight());
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0);
    view.setHorizontalExtent(1500);
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 1500 - view.viewport()->width());
    EXPECT_EQ(view.visualRect(row(0)).width(), 1500);
    model.insertRows(50, 10);  // the range grows at once, without a turn of the event loop
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 60 * rowHeight() - visibleHeight());

    view.setHorizontalExtent(200);  // narrower than the view: rows still take its whole width
    model.setStringList({QStringLiteral("una"), QStringLiteral("due")});
    EXPECT_EQ(std::vector({at(1), at(rowHeight() + 1)}), std::vector({row(0), row(1)}));
    EXPECT_FALSE(at(2 * rowHeight() + 1).isValid() || at(-1).isValid());
    EXPECT_TRUE(view.indexAt(QPoint(view.viewport()->width() - 2, 1)).isValid());
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
}

TEST_F(ListViewFixture, AClickSelectsTheLineUnderTheMouseAndKeysMoveTheCurrentLineKeepingItInView) {
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(20, 2 * rowHeight() + 1));
    EXPECT_EQ(view.selectionModel()->selectedIndexes(), QModelIndexList{row(2)});
    view.verticalScrollBar()->setValue(10 * rowHeight());
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(20, 1));
    EXPECT_EQ(view.currentIndex(), row(10));
    EXPECT_EQ(view.selectionModel()->selectedIndexes(), QModelIndexList{row(10)});

    view.setFocus();
    view.setCurrentIndex(row(0));
    const int page = visibleHeight() / rowHeight();
    const std::pair<Qt::Key, int> moves[] = {
        {Qt::Key_End, 49}, {Qt::Key_Home, 0}, {Qt::Key_PageDown, page}, {Qt::Key_Up, page - 1}};
    for (const auto& [key, expected] : moves) {
        QTest::keyClick(&view, key);
        EXPECT_EQ(view.currentIndex(), row(expected)) << key;
        const QRect shown = view.visualRect(row(expected));
        EXPECT_TRUE(shown.top() >= 0 && shown.bottom() <= visibleHeight()) << key;
    }
}
