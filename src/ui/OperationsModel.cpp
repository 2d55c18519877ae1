#include "ui/OperationsModel.h"

#include <QTimer>

namespace dokivo {

OperationsModel::OperationsModel(const OperationsLog& log, QObject* parent)
    : QAbstractListModel(parent), log_(log), shown_(static_cast<int>(log.size())) {}

int OperationsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

QVariant OperationsModel::data(const QModelIndex& index, int role) const {
    // The log may already be shorter than the rows while a flush is being announced.
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= log_.size())
        return {};
    return log_.lines()[static_cast<size_t>(index.row())];
}

void OperationsModel::publish() {
    publishQueued_ = false;
    const int total = static_cast<int>(log_.size());
    if (total < shown_) {
        beginResetModel();
        shown_ = total;
        endResetModel();
        return;
    }
    if (total == shown_)
        return;
    beginInsertRows({}, shown_, total - 1);
    shown_ = total;
    endInsertRows();
}

void OperationsModel::lineAdded(const QString&) {
    if (publishQueued_)
        return;
    publishQueued_ = true;
    QTimer::singleShot(0, this, &OperationsModel::publish);
}

void OperationsModel::listCleared() {
    beginResetModel();
    shown_ = 0;
    endResetModel();
}

}  // namespace dokivo
