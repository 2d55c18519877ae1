#pragma once

#include <QStyledItemDelegate>

namespace dokivo {

// Gives every row of a list the same width, whatever its text: the list then scrolls sideways
// over exactly that extent, and text beyond it is cut off rather than widening the list.
class FixedExtentDelegate final : public QStyledItemDelegate {
    Q_OBJECT
  public:
    explicit FixedExtentDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}

    void setExtent(int pixels) { extent_ = pixels; }
    int extent() const { return extent_; }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  private:
    int extent_ = 0;  // 0: the text's own width
};

}  // namespace dokivo
