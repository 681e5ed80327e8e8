#pragma once

#include "ui/DetailGrid.h"

#include <QTableWidget>

namespace tarvik {

// A table with a fixed header row and label column, laid out like the
// program's grids: columns as wide as their texts, and in the two-column
// views the values taking the rest of the width.
class DetailGridWidget : public QTableWidget {
    Q_OBJECT

public:
    explicit DetailGridWidget(QWidget* parent = nullptr);
    void ShowGrid(const DetailGrid& grid);
    void Clear();
    // The text of a cell, for tests.
    QString CellText(int row, int column) const;
    // The size that shows every cell without scrolling.
    QSize ContentSize() const;
    QSize sizeHint() const override { return ContentSize(); }
};

} // namespace tarvik
