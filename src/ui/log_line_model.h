#pragma once

#include <QAbstractListModel>

#include "output/line_store.h"

// The log's lines as the rows of a list, read from the log's own store as the
// list paints them: the rows hold no text of their own. Lines the store gains
// become rows only when the list catches up, so a flood is one insertion.
class LogLineModel : public QAbstractListModel {
    Q_OBJECT
  public:
    LogLineModel(const LineStore& lines, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    const LineStore& lines() const { return lines_; }
    // Rows for the lines the store gained; false when it gained none.
    bool catchUp();
    // The store lost its last line; its row goes now, if it had one.
    void lastRemoved();
    // The store lost every line.
    void cleared();

  private:
    const LineStore& lines_;
    int rows_ = 0;
};
