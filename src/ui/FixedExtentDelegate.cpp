#include "ui/FixedExtentDelegate.h"

namespace dokivo {

QSize FixedExtentDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (extent_ > 0)
        size.setWidth(extent_);
    return size;
}

}  // namespace dokivo
