#pragma once

#include "ui/DetailGrid.h"

#include <QTableWidget>

namespace tarvik {

// A table with a fixed header row and label column, laid out like the
// program's grids: columns as wide as their texts, and in the two-column
// views the values taking the rest of the width. A grid with a header row
// shows it as the table's header, and a click on it sorts the rows, numbers
// as numbers.
class DetailGridWidget : public QTableWidget {
    Q_OBJECT

public:
    explicit DetailGridWidget(QWidget* parent = nullptr);
    void ShowGrid(const DetailGrid& grid);
    void Clear();
    // The text of a cell as the grid has it (row 0 is a header row's), for tests.
    QString CellText(int row, int column) const;
    // The grid's header row is the table's header.
    bool Sortable() const { return sortable_; }
    // The size that shows every cell without scrolling.
    QSize ContentSize() const;
    QSize sizeHint() const override { return ContentSize(); }

private:
    bool sortable_ = false;
};

} // namespace tarvik
