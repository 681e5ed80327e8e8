#include "TableFit.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QHeaderView>
#include <QHelpEvent>
#include <QResizeEvent>
#include <QStyleOptionHeader>
#include <QTableView>
#include <QToolTip>

namespace tarvik {

void FitColumns(QTableView& view, int fillColumn)
{
    QHeaderView* header = view.horizontalHeader();
    view.resizeColumnsToContents();
    const int room = view.viewport()->width();
    // One long name must not push every number out of view.
    const int widest = std::max(room * 2 / 3, 120);
    for (int column = 0; column < header->count(); ++column) {
        if (!header->isSectionHidden(column) && header->sectionSize(column) > widest)
            header->resizeSection(column, widest);
    }
    const int spare = room - header->length();
    if (spare > 0 && fillColumn >= 0 && fillColumn < header->count())
        header->resizeSection(fillColumn, header->sectionSize(fillColumn) + spare);
}

namespace {

class WidthWatcher : public QObject {
public:
    WidthWatcher(QTableView& view, int fillColumn)
        : QObject(&view)
        , view_(view)
        , fillColumn_(fillColumn)
    {
        view.viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize) {
            const auto* resize = static_cast<QResizeEvent*>(event);
            if (resize->size().width() != resize->oldSize().width())
                FitColumns(view_, fillColumn_);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QTableView& view_;
    int fillColumn_;
};

} // namespace

void KeepColumnsFitted(QTableView& view, int fillColumn)
{
    new WidthWatcher(view, fillColumn);
}

int ElidedCells(const QTableView& view)
{
    const auto* delegate = qobject_cast<const ElidedTipDelegate*>(view.itemDelegate());
    const QAbstractItemModel* model = view.model();
    if (!delegate || !model)
        return 0;
    int elided = 0;
    const QRect shown = view.viewport()->rect();
    for (int row = 0; row < model->rowCount(); ++row) {
        for (int column = 0; column < model->columnCount(); ++column) {
            if (view.isColumnHidden(column))
                continue;
            const QModelIndex index = model->index(row, column);
            const QRect rect = view.visualRect(index);
            if (!rect.intersects(shown))
                continue;
            QStyleOptionViewItem option;
            option.initFrom(&view);
            option.widget = &view;
            option.rect = rect;
            option.font = view.font();
            if (delegate->Elided(option, index))
                ++elided;
        }
    }
    return elided;
}

bool ElidedTipDelegate::Elided(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    if (item.text.isEmpty())
        return false;
    const QWidget* widget = item.widget;
    const QStyle* style = widget ? widget->style() : nullptr;
    if (!style)
        return false;
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
    // The style keeps a margin on either side of the text.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    return QFontMetrics(item.font).horizontalAdvance(item.text) > textRect.width() - 2 * margin;
}

bool ElidedTipDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                  const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    if (Elided(option, index)) {
        QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(), view);
    } else {
        QToolTip::hideText();
        event->ignore();
    }
    return true;
}

void SortArrowStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                   QPainter* painter, const QWidget* widget) const
{
    const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option);
    if (element != PE_IndicatorHeaderArrow || !header) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // The header calls a descending order "up".
    if (header->sortIndicator == QStyleOptionHeader::SortUp)
        QProxyStyle::drawPrimitive(PE_IndicatorArrowDown, option, painter, widget);
    else if (header->sortIndicator == QStyleOptionHeader::SortDown)
        QProxyStyle::drawPrimitive(PE_IndicatorArrowUp, option, painter, widget);
}

} // namespace tarvik
