#include <gtest/gtest.h>

#include <QScrollBar>
#include <QStringListModel>
#include <QTest>

#include "UiTestSupport.h"
#include "ui/OperationsListView.h"

using namespace dokivo;
using namespace dokivo::test;

namespace {

struct ListViewFixture : ::testing::Test {
    QStringListModel model;
    OperationsListView view;

    explicit ListViewFixture(int rows = 50) {
        QStringList lines;
        for (int i = 0; i < rows; ++i)
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
};

}  // namespace

TEST_F(ListViewFixture, TheScrollRangesCoverEveryRowAndTheExtent) {
    ASSERT_GT(rowHeight(), 0);
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 50 * rowHeight() - visibleHeight());
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0);

    view.setHorizontalExtent(1500);
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 1500 - view.viewport()->width());
    EXPECT_EQ(view.visualRect(row(0)).width(), 1500);

    // Rows appended later extend the range at once, without a turn of the event loop.
    model.insertRows(50, 10);
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 60 * rowHeight() - visibleHeight());
}

TEST_F(ListViewFixture, AClickSelectsTheLineUnderTheMouseAlsoWhenScrolled) {
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(20, 2 * rowHeight() + 1));
    EXPECT_EQ(view.currentIndex(), row(2));
    EXPECT_TRUE(view.selectionModel()->isSelected(row(2)));

    view.verticalScrollBar()->setValue(10 * rowHeight());
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(20, 1));
    EXPECT_EQ(view.currentIndex(), row(10));
    EXPECT_EQ(view.selectionModel()->selectedIndexes(), QModelIndexList{row(10)});
}

TEST_F(ListViewFixture, KeysMoveTheCurrentLineAndKeepItInView) {
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

TEST_F(ListViewFixture, NoLineLiesBelowTheLastOrBeyondTheExtent) {
    view.setHorizontalExtent(200);
    model.setStringList({QStringLiteral("una"), QStringLiteral("due")});
    EXPECT_EQ(view.indexAt(QPoint(5, 1)), row(0));
    EXPECT_EQ(view.indexAt(QPoint(5, rowHeight() + 1)), row(1));
    EXPECT_FALSE(view.indexAt(QPoint(5, 2 * rowHeight() + 1)).isValid());
    EXPECT_FALSE(view.indexAt(QPoint(5, -1)).isValid());
    // Rows are never narrower than the view.
    EXPECT_TRUE(view.indexAt(QPoint(view.viewport()->width() - 2, 1)).isValid());
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
}
