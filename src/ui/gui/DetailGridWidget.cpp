#include "DetailGridWidget.h"

#include "util/gui/QtText.h"

#include <algorithm>
#include <optional>

#include <QHeaderView>

namespace tarvik {

namespace {

// "1,234", "70%": the number a cell shows, when it shows one.
std::optional<double> NumberIn(QString text)
{
    text.remove(QLatin1Char(','));
    if (text.endsWith(QLatin1Char('%')))
        text.chop(1);
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

// Sorts numbers as numbers, before texts, and texts without case.
class SortItem : public QTableWidgetItem {
public:
    using QTableWidgetItem::QTableWidgetItem;
    bool operator<(const QTableWidgetItem& other) const override
    {
        const auto a = NumberIn(text());
        const auto b = NumberIn(other.text());
        if (a && b)
            return *a < *b;
        if (a || b)
            return a.has_value();
        return QString::compare(text(), other.text(), Qt::CaseInsensitive) < 0;
    }
};

} // namespace

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
    setSortingEnabled(false);
    horizontalHeader()->setVisible(false);
    sortable_ = false;
    clear();
    setRowCount(0);
    setColumnCount(0);
}

void DetailGridWidget::ShowGrid(const DetailGrid& grid)
{
    setUpdatesEnabled(false);
    Clear();
    setColumnCount(grid.columns);
    // A single header row becomes the header that sorts; the rows below it
    // are the table.
    sortable_ = grid.fixedRows == 1 && grid.columns > 2 && !grid.cells.empty();
    const int skipped = sortable_ ? 1 : 0;
    if (sortable_) {
        QStringList headers;
        for (int column = 0; column < grid.columns; ++column) {
            const auto& first = grid.cells.front();
            headers << (column < static_cast<int>(first.size())
                            ? ToQString(first[static_cast<size_t>(column)])
                            : QString());
        }
        setHorizontalHeaderLabels(headers);
        for (int column = 0; column < grid.columns; ++column) {
            if (static_cast<size_t>(column) < grid.headerTips.size())
                horizontalHeaderItem(column)->setToolTip(
                    ToQString(grid.headerTips[static_cast<size_t>(column)]));
        }
        horizontalHeader()->setVisible(true);
    }
    setRowCount(static_cast<int>(grid.cells.size()) - skipped);
    const QBrush fixedBrush = palette().button();
    QFont fixedFont = font();
    fixedFont.setBold(true);
    for (int row = 0; row < rowCount(); ++row) {
        const auto& cells = grid.cells[static_cast<size_t>(row + skipped)];
        for (int column = 0; column < grid.columns; ++column) {
            const QString text = column < static_cast<int>(cells.size())
                                     ? ToQString(cells[static_cast<size_t>(column)])
                                     : QString();
            auto* item = new SortItem(text);
            const bool fixed = row + skipped < grid.fixedRows || column < grid.fixedColumns;
            if (fixed) {
                item->setBackground(fixedBrush);
                item->setFont(fixedFont);
            }
            Qt::Alignment alignment = Qt::AlignVCenter;
            if (grid.columns == 2)
                alignment = (column == 0 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop;
            else if (row + skipped >= grid.fixedRows && column >= grid.fixedColumns)
                alignment = Qt::AlignRight | Qt::AlignVCenter;
            item->setTextAlignment(alignment);
            setItem(row, column, item);
        }
    }
    if (sortable_) {
        // The rows as the grid has them until the header is clicked.
        horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
        setSortingEnabled(true);
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
    int height =
        frame + (horizontalHeader()->isVisible() ? horizontalHeader()->sizeHint().height() : 0);
    for (int row = 0; row < rowCount(); ++row)
        height += std::max(sizeHintForRow(row), rowHeight(row));
    return {width, height};
}

QString DetailGridWidget::CellText(int row, int column) const
{
    if (sortable_) {
        if (row == 0) {
            const QTableWidgetItem* header = horizontalHeaderItem(column);
            return header ? header->text() : QString();
        }
        --row;
    }
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

} // namespace tarvik
