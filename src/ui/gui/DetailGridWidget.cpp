#include "DetailGridWidget.h"

#include "util/gui/QtText.h"

#include <algorithm>

#include <QHeaderView>

namespace tarvik {

DetailGridWidget::DetailGridWidget(QWidget* parent)
    : QTableWidget(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    horizontalHeader()->setVisible(false);
    verticalHeader()->setVisible(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    setAlternatingRowColors(true);
}

void DetailGridWidget::Clear()
{
    clear();
    setRowCount(0);
    setColumnCount(0);
}

void DetailGridWidget::ShowGrid(const DetailGrid& grid)
{
    setUpdatesEnabled(false);
    Clear();
    setColumnCount(grid.columns);
    setRowCount(static_cast<int>(grid.cells.size()));
    const QBrush fixedBrush = palette().button();
    QFont fixedFont = font();
    fixedFont.setBold(true);
    for (int row = 0; row < rowCount(); ++row) {
        const auto& cells = grid.cells[static_cast<size_t>(row)];
        for (int column = 0; column < grid.columns; ++column) {
            const QString text = column < static_cast<int>(cells.size())
                                     ? ToQString(cells[static_cast<size_t>(column)])
                                     : QString();
            auto* item = new QTableWidgetItem(text);
            const bool fixed = row < grid.fixedRows || column < grid.fixedColumns;
            if (fixed) {
                item->setBackground(fixedBrush);
                item->setFont(fixedFont);
            }
            Qt::Alignment alignment = Qt::AlignVCenter;
            if (grid.columns == 2)
                alignment = (column == 0 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop;
            else if (row >= grid.fixedRows && column >= grid.fixedColumns)
                alignment = Qt::AlignRight | Qt::AlignVCenter;
            item->setTextAlignment(alignment);
            setItem(row, column, item);
        }
    }
    resizeColumnsToContents();
    horizontalHeader()->setStretchLastSection(grid.columns == 2);
    setUpdatesEnabled(true);
}

QSize DetailGridWidget::ContentSize() const
{
    const int frame = 2 * frameWidth();
    int width = frame;
    const bool stretched = horizontalHeader()->stretchLastSection();
    for (int column = 0; column < columnCount(); ++column) {
        // A stretched column is as wide as the window makes it, not its text.
        const bool last = column == columnCount() - 1;
        width += std::max(sizeHintForColumn(column), stretched && last ? 0 : columnWidth(column));
    }
    int height = frame;
    for (int row = 0; row < rowCount(); ++row)
        height += std::max(sizeHintForRow(row), rowHeight(row));
    return {width, height};
}

QString DetailGridWidget::CellText(int row, int column) const
{
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

} // namespace tarvik
