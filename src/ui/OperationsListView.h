#pragma once

#include <QAbstractItemView>

namespace dokivo {

// The operations list's view: one text line per row, every row the same height and the same width (a fixed
// horizontal extent, over which the list scrolls sideways; text beyond it is cut off). Its
// geometry is arithmetic on the row count, so appending to a list of hundreds of thousands of
// lines costs only the painting of the rows in sight; a QListView would lay every row out again
// after each insertion.
class OperationsListView final : public QAbstractItemView {
    Q_OBJECT
  public:
    explicit OperationsListView(QWidget* parent = nullptr);

    // The width of every row in pixels; rows are never narrower than the view itself.
    void setHorizontalExtent(int pixels);

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    void reset() override;

  protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex&) const override { return false; }
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    void paintEvent(QPaintEvent* event) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void changeEvent(QEvent* event) override;

  private:
    int rowCount() const;
    int rowHeight() const;
    int rowWidth() const;
    // The rows a band of the viewport (top and bottom in viewport coordinates) touches, clamped
    // to the existing rows; first > last when there are none.
    std::pair<int, int> rowsIn(int top, int bottom) const;

    int extent_ = 0;
    mutable int rowHeight_ = 0;  // measured on first use, again after a font or style change
};

}  // namespace dokivo
