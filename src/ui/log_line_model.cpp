#include "ui/log_line_model.h"

#include <algorithm>
#include <climits>

namespace {

// No log comes near; a list counts its rows in int.
int rowsFor(std::size_t lines) {
    return static_cast<int>(std::min<std::size_t>(lines, INT_MAX));
}

}  // namespace

LogLineModel::LogLineModel(const LineStore& lines, QObject* parent)
    : QAbstractListModel(parent), lines_(lines) {}

int LogLineModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant LogLineModel::data(const QModelIndex& index, int role) const {
    // The store changes first and tells after: a row may be asked for in between.
    if (role != Qt::DisplayRole || !index.isValid() ||
        static_cast<std::size_t>(index.row()) >= lines_.size()) {
        return {};
    }
    const std::string_view line = lines_[static_cast<std::size_t>(index.row())];
    return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
}

bool LogLineModel::catchUp() {
    const int rows = rowsFor(lines_.size());
    if (rows <= rows_) return false;
    beginInsertRows({}, rows_, rows - 1);
    rows_ = rows;
    endInsertRows();
    return true;
}

void LogLineModel::lastRemoved() {
    const int rows = rowsFor(lines_.size());
    if (rows >= rows_) return;
    beginRemoveRows({}, rows, rows_ - 1);
    rows_ = rows;
    endRemoveRows();
}

void LogLineModel::cleared() {
    beginResetModel();
    rows_ = 0;
    endResetModel();
}
