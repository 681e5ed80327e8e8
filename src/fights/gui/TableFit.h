#pragma once

#include <QProxyStyle>
#include <QStyledItemDelegate>

class QAbstractItemView;
class QTableView;

namespace tarvik {

// Columns as wide as their widest text and header, none wider than most of
// the view; room left over goes to fillColumn. Wider tables scroll.
void FitColumns(QTableView& view, int fillColumn);

// FitColumns again whenever the view's width changes.
void KeepColumnsFitted(QTableView& view, int fillColumn);

// Cells in view whose text does not fit their column.
int ElidedCells(const QTableView& view);

// Shows a cell's full text as its tool tip, only when the column cuts it.
class ElidedTipDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;
    // True when the cell's text is wider than the room it has.
    bool Elided(const QStyleOptionViewItem& option, const QModelIndex& index) const;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
};

// Header sort arrows that point the way the values run: down when the
// largest is on top. Qt leaves the direction to the platform's style.
class SortArrowStyle : public QProxyStyle {
    Q_OBJECT

public:
    using QProxyStyle::QProxyStyle;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

} // namespace tarvik
