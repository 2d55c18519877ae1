#include "ui/OperationsListView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <limits>

namespace dokivo {

OperationsListView::OperationsListView(QWidget* parent) : QAbstractItemView(parent) {
    setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollMode(ScrollPerPixel);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setTextElideMode(Qt::ElideNone);
}

void OperationsListView::setHorizontalExtent(int pixels) {
    extent_ = pixels;
    updateGeometries();
    viewport()->update();
}

int OperationsListView::rowCount() const {
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int OperationsListView::rowHeight() const {
    if (rowHeight_ <= 0) {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.features |= QStyleOptionViewItem::HasDisplay;
        option.text = QStringLiteral("Xg");
        rowHeight_ =
            std::max(1, style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).height());
    }
    return rowHeight_;
}

int OperationsListView::rowWidth() const {
    return std::max(extent_, viewport()->width());
}

int OperationsListView::horizontalOffset() const {
    return horizontalScrollBar()->value();
}

int OperationsListView::verticalOffset() const {
    return verticalScrollBar()->value();
}

std::pair<int, int> OperationsListView::rowsIn(int top, int bottom) const {
    const int h = rowHeight();
    const int first = std::max(0, (top + verticalOffset()) / h);
    const int last = std::min(rowCount() - 1, (std::max(top, bottom) + verticalOffset()) / h);
    return {first, last};
}

QRect OperationsListView::visualRect(const QModelIndex& index) const {
    if (!index.isValid() || index.parent() != rootIndex())
        return {};
    const int h = rowHeight();
    return {-horizontalOffset(), index.row() * h - verticalOffset(), rowWidth(), h};
}

QModelIndex OperationsListView::indexAt(const QPoint& point) const {
    if (!model() || point.y() < 0 || point.x() + horizontalOffset() >= rowWidth())
        return {};
    const int row = (point.y() + verticalOffset()) / rowHeight();
    return row < rowCount() ? model()->index(row, 0, rootIndex()) : QModelIndex();
}

void OperationsListView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid())
        return;
    const int h = rowHeight();
    const int top = index.row() * h;
    const int visible = viewport()->height();
    QScrollBar* bar = verticalScrollBar();
    int value = bar->value();
    switch (hint) {
        case PositionAtTop:
            value = top;
            break;
        case PositionAtBottom:
            value = top + h - visible;
            break;
        case PositionAtCenter:
            value = top - (visible - h) / 2;
            break;
        case EnsureVisible:
            if (top < value)
                value = top;
            else if (top + h > value + visible)
                value = top + h - visible;
            break;
    }
    bar->setValue(value);
}

QModelIndex OperationsListView::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
    const int rows = rowCount();
    if (rows == 0)
        return {};
    const QModelIndex current = currentIndex();
    int row = current.isValid() ? current.row() : -1;
    const int page = std::max(1, viewport()->height() / rowHeight());
    switch (action) {
        case MoveUp:
        case MovePrevious:
            row -= 1;
            break;
        case MoveDown:
        case MoveNext:
            row += 1;
            break;
        case MovePageUp:
            row -= page;
            break;
        case MovePageDown:
            row += page;
            break;
        case MoveHome:
            row = 0;
            break;
        case MoveEnd:
            row = rows - 1;
            break;
        case MoveLeft:
        case MoveRight: {
            QScrollBar* bar = horizontalScrollBar();
            bar->setValue(bar->value() + (action == MoveLeft ? -bar->singleStep() : bar->singleStep()));
            return current;
        }
    }
    return model()->index(std::clamp(row, 0, rows - 1), 0, rootIndex());
}

void OperationsListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags) {
    const auto [first, last] = rowsIn(rect.top(), rect.bottom());
    QItemSelection selection;
    if (first <= last)
        selection.select(model()->index(first, 0, rootIndex()), model()->index(last, 0, rootIndex()));
    selectionModel()->select(selection, flags);
}

QRegion OperationsListView::visualRegionForSelection(const QItemSelection& selection) const {
    QRegion region;
    for (const QItemSelectionRange& range : selection)
        if (range.isValid() && range.parent() == rootIndex())
            region += visualRect(range.topLeft()).united(visualRect(range.bottomRight()));
    return region.intersected(viewport()->rect());
}

void OperationsListView::updateGeometries() {
    const qint64 content = qint64(rowCount()) * rowHeight();
    const int height = viewport()->height();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setSingleStep(rowHeight());
    vertical->setPageStep(height);
    vertical->setRange(0, int(std::clamp<qint64>(content - height, 0, std::numeric_limits<int>::max())));
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setSingleStep(rowHeight());
    horizontal->setPageStep(viewport()->width());
    horizontal->setRange(0, std::max(0, extent_ - viewport()->width()));
    QAbstractItemView::updateGeometries();
}

void OperationsListView::rowsInserted(const QModelIndex& parent, int start, int end) {
    QAbstractItemView::rowsInserted(parent, start, end);
    updateGeometries();
    viewport()->update();
}

void OperationsListView::reset() {
    QAbstractItemView::reset();
    updateGeometries();
}

void OperationsListView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        rowHeight_ = 0;
    QAbstractItemView::changeEvent(event);
}

void OperationsListView::paintEvent(QPaintEvent* event) {
    if (!model())
        return;
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QStyle::State baseState = option.state;
    const QModelIndex current = currentIndex();
    const auto [first, last] = rowsIn(event->rect().top(), event->rect().bottom());
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = model()->index(row, 0, rootIndex());
        option.rect = visualRect(index);
        option.state = baseState;
        if (selectionModel() && selectionModel()->isSelected(index))
            option.state |= QStyle::State_Selected;
        if (index == current && hasFocus())
            option.state |= QStyle::State_HasFocus;
        itemDelegateForIndex(index)->paint(&painter, option, index);
    }
}

}  // namespace dokivo
