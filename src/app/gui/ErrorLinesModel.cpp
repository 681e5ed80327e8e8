#include "ErrorLinesModel.h"

#include "util/gui/QtText.h"

namespace tarvik {

void ErrorLinesModel::Clear()
{
    beginResetModel();
    lines_.clear();
    shown_ = 0;
    endResetModel();
}

void ErrorLinesModel::Flush()
{
    const int count = static_cast<int>(lines_.size());
    if (shown_ == count)
        return;
    beginInsertRows(QModelIndex(), shown_, count - 1);
    shown_ = count;
    endInsertRows();
}

int ErrorLinesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shown_;
}

QVariant ErrorLinesModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= shown_)
        return {};
    return ToQString(lines_[static_cast<size_t>(index.row())]);
}

} // namespace tarvik
