#pragma once

#include <QAbstractListModel>

#include "logs/OperationsLog.h"

namespace dokivo {

// The rows of the operations list: the operation lines of the log, read in place. New lines are published in
// batches, at the next turn of the event loop or at once on publish(), so a pass that adds
// thousands of lines costs one row insertion per batch instead of one per line.
class OperationsModel final : public QAbstractListModel, public OperationsListener {
    Q_OBJECT
  public:
    explicit OperationsModel(const OperationsLog& log, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Makes every line the log holds now a row.
    void publish();

    void lineAdded(const QString& line) override;
    void listCleared() override;

  private:
    const OperationsLog& log_;
    int shown_ = 0;
    bool publishQueued_ = false;
};

}  // namespace dokivo
