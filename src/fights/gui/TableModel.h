#pragma once

#include "fights/FightTables.h"

#include <unordered_map>
#include <vector>

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

class QTableView;

namespace tarvik {

// Rows of a Qt-free table, each known by its key. Updates change rows in
// place, add and remove them, but never reset the model, so that the views'
// selection, sort order and scroll position survive them.
class TableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // The number (or, in text columns, the text) a cell sorts by.
    static constexpr int SortRole = Qt::UserRole + 1;
    static constexpr int KeyRole = Qt::UserRole + 2;

    using QAbstractTableModel::QAbstractTableModel;

    // Resets the model only when the columns differ.
    void SetColumns(std::vector<TableColumn> columns);
    // Makes these the rows: rows with a known key change in place, the
    // others are removed or added at the end.
    void SetRows(std::vector<TableRow> rows);
    // Changes or adds these rows and leaves the rest.
    void UpdateRows(std::vector<TableRow> rows);
    void Clear();

    // -1 when no row has the key.
    int RowOf(int64_t key) const;
    const TableRow& Row(int row) const { return rows_[static_cast<size_t>(row)]; }
    const std::vector<TableColumn>& Columns() const { return columns_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void Reindex();
    // Replaces a row when it differs; true when it did.
    bool Replace(size_t row, TableRow& with);

    std::vector<TableColumn> columns_;
    std::vector<TableRow> rows_;
    std::unordered_map<int64_t, int> rowOf_;
};

// Sorts by TableModel::SortRole, numbers as numbers; cells without a number
// in a numeric column stay below the others in either order. Filters the
// first column by a fixed text, ignoring case.
class TableProxy : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit TableProxy(QObject* parent = nullptr);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};

// A view over a proxy: rows selected whole, one at a time, sorted by a
// header click (numbers largest first), cut texts told in tool tips, without
// row numbers.
void SetUpTableView(QTableView& view);

} // namespace tarvik
