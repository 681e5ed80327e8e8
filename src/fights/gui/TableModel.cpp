#include "TableModel.h"

#include "TableFit.h"
#include "util/gui/QtText.h"

#include <algorithm>
#include <unordered_set>

#include <QFont>
#include <QHeaderView>
#include <QTableView>

namespace tarvik {

void TableModel::SetColumns(std::vector<TableColumn> columns)
{
    const auto same = [](const TableColumn& a, const TableColumn& b) {
        return a.header == b.header && a.numeric == b.numeric && a.tip == b.tip;
    };
    if (std::equal(columns.begin(), columns.end(), columns_.begin(), columns_.end(), same))
        return;
    beginResetModel();
    columns_ = std::move(columns);
    rows_.clear();
    rowOf_.clear();
    endResetModel();
}

void TableModel::Clear()
{
    if (rows_.empty())
        return;
    beginRemoveRows({}, 0, static_cast<int>(rows_.size()) - 1);
    rows_.clear();
    rowOf_.clear();
    endRemoveRows();
}

void TableModel::SetRows(std::vector<TableRow> rows)
{
    std::unordered_set<int64_t> keep;
    keep.reserve(rows.size());
    for (const TableRow& row : rows)
        keep.insert(row.key);
    // Runs of rows that go, from the end so the earlier rows keep their places.
    for (int last = static_cast<int>(rows_.size()) - 1; last >= 0;) {
        if (keep.contains(rows_[static_cast<size_t>(last)].key)) {
            --last;
            continue;
        }
        int first = last;
        while (first > 0 && !keep.contains(rows_[static_cast<size_t>(first - 1)].key))
            --first;
        beginRemoveRows({}, first, last);
        rows_.erase(rows_.begin() + first, rows_.begin() + last + 1);
        endRemoveRows();
        last = first - 1;
    }
    Reindex();
    UpdateRows(std::move(rows));
}

void TableModel::UpdateRows(std::vector<TableRow> rows)
{
    std::vector<TableRow> added;
    std::unordered_map<int64_t, size_t> addedAt;
    int firstChanged = -1;
    int lastChanged = -1;
    for (TableRow& row : rows) {
        row.cells.resize(columns_.size());
        if (const auto found = rowOf_.find(row.key); found != rowOf_.end()) {
            if (Replace(static_cast<size_t>(found->second), row)) {
                firstChanged =
                    firstChanged < 0 ? found->second : std::min(firstChanged, found->second);
                lastChanged = std::max(lastChanged, found->second);
            }
        } else if (const auto pending = addedAt.find(row.key); pending != addedAt.end()) {
            added[pending->second] = std::move(row);
        } else {
            addedAt.emplace(row.key, added.size());
            added.push_back(std::move(row));
        }
    }
    // One signal for the changed range: a proxy sorts it once.
    if (firstChanged >= 0 && !columns_.empty())
        emit dataChanged(index(firstChanged, 0),
                         index(lastChanged, static_cast<int>(columns_.size()) - 1));
    if (added.empty())
        return;
    const int first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + static_cast<int>(added.size()) - 1);
    for (TableRow& row : added) {
        rowOf_[row.key] = static_cast<int>(rows_.size());
        rows_.push_back(std::move(row));
    }
    endInsertRows();
}

bool TableModel::Replace(size_t row, TableRow& with)
{
    if (rows_[row] == with)
        return false;
    rows_[row] = std::move(with);
    return true;
}

void TableModel::Reindex()
{
    rowOf_.clear();
    for (size_t row = 0; row < rows_.size(); ++row)
        rowOf_[rows_[row].key] = static_cast<int>(row);
}

int TableModel::RowOf(int64_t key) const
{
    const auto found = rowOf_.find(key);
    return found == rowOf_.end() ? -1 : found->second;
}

int TableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TableModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const TableRow& row = rows_[static_cast<size_t>(index.row())];
    const auto column = static_cast<size_t>(index.column());
    const TableCell& cell = row.cells[column];
    const bool numeric = columns_[column].numeric;
    switch (role) {
    case Qt::DisplayRole:
        return ToQString(cell.text);
    case SortRole:
        if (cell.number)
            return *cell.number;
        return numeric ? QVariant() : QVariant(ToQString(cell.text));
    case KeyRole:
        return QVariant::fromValue<qint64>(row.key);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(numeric ? Qt::AlignRight | Qt::AlignVCenter
                                                         : Qt::AlignLeft | Qt::AlignVCenter));
    case Qt::FontRole:
        if (row.emphasized) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default:
        return {};
    }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 ||
        section >= static_cast<int>(columns_.size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    const TableColumn& column = columns_[static_cast<size_t>(section)];
    if (role == Qt::DisplayRole)
        return ToQString(column.header);
    if (role == Qt::ToolTipRole && !column.tip.empty())
        return ToQString(column.tip);
    // A first click on a number asks for the largest.
    if (role == Qt::InitialSortOrderRole)
        return column.numeric ? Qt::DescendingOrder : Qt::AscendingOrder;
    return {};
}

TableProxy::TableProxy(QObject* parent)
    : QSortFilterProxyModel(parent)
{
    setSortRole(TableModel::SortRole);
    setSortCaseSensitivity(Qt::CaseInsensitive);
    setFilterCaseSensitivity(Qt::CaseInsensitive);
    setFilterKeyColumn(0);
    setDynamicSortFilter(true);
}

bool TableProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const QVariant a = left.data(sortRole());
    const QVariant b = right.data(sortRole());
    const bool ascending = sortOrder() == Qt::AscendingOrder;
    // Unknowns last whichever way the column is sorted.
    if (!a.isValid() || !b.isValid())
        return a.isValid() ? ascending : b.isValid() ? !ascending : false;
    if (a.typeId() == QMetaType::Double && b.typeId() == QMetaType::Double)
        return a.toDouble() < b.toDouble();
    return QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive) < 0;
}

void SetUpTableView(QTableView& view)
{
    view.setSortingEnabled(true);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::SingleSelection);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setAlternatingRowColors(true);
    view.setWordWrap(false);
    view.verticalHeader()->setVisible(false);
    view.verticalHeader()->setDefaultSectionSize(view.fontMetrics().height() + 6);
    view.horizontalHeader()->setHighlightSections(false);
    view.horizontalHeader()->setSectionsMovable(false);
    view.horizontalHeader()->setStretchLastSection(true);
    view.setItemDelegate(new ElidedTipDelegate(&view));
    auto* arrows = new SortArrowStyle;
    arrows->setParent(view.horizontalHeader());
    view.horizontalHeader()->setStyle(arrows);
    view.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

} // namespace tarvik
