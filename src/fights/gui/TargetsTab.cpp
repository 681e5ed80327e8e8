#include "TargetsTab.h"

#include "TableFit.h"
#include "TableModel.h"
#include "fights/FightTables.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

namespace tarvik {

TargetsTab::TargetsTab(QWidget* parent)
    : QWidget(parent)
    , filter_(new QLineEdit(this))
    , caption_(new QLabel(this))
    , model_(new TableModel(this))
    , proxy_(new TableProxy(this))
    , view_(new QTableView(this))
{
    setObjectName("tabTargets");
    filter_->setObjectName("txtTargetFilter");
    filter_->setPlaceholderText("Filter by name");
    filter_->setClearButtonEnabled(true);
    filter_->setToolTip("Type part of a name to show only the targets whose names contain it.");
    caption_->setObjectName("lblTargets");

    proxy_->setSourceModel(model_);
    view_->setObjectName("gridTargets");
    view_->setModel(proxy_);
    SetUpTableView(*view_);
    view_->sortByColumn(TargetNameColumn, Qt::AscendingOrder);
    KeepColumnsFitted(*view_, TargetNameColumn);

    auto* bar = new QHBoxLayout;
    bar->addWidget(filter_, 1);
    bar->addWidget(caption_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(view_, 1);

    connect(filter_, &QLineEdit::textChanged, this, [this](const QString& text) {
        proxy_->setFilterFixedString(text);
        UpdateCaption();
    });
    UpdateCaption();
}

void TargetsTab::SetSource(FightSource source)
{
    source_ = std::move(source);
}

void TargetsTab::Clear()
{
    model_->Clear();
    UpdateCaption();
}

void TargetsTab::Refresh()
{
    if (!source_.tracker)
        return;
    const Roster roster = source_.roster();
    model_->SetColumns(TargetColumns(roster));
    std::vector<TableRow> rows;
    for (const TargetRow& target : TargetRows(*source_.tracker, roster))
        rows.push_back(TargetTableRow(target, roster));
    // A save nobody made would be an empty column taking the room of the
    // texts beside it.
    const int saves = static_cast<int>(roster.saveTypes.size()) + 1;
    for (int column = TargetFirstSaveColumn; column < TargetFirstSaveColumn + saves; ++column) {
        const bool seen = std::any_of(rows.begin(), rows.end(), [column](const TableRow& row) {
            return row.cells[static_cast<size_t>(column)].number.has_value();
        });
        view_->setColumnHidden(column, !seen);
    }
    model_->SetRows(std::move(rows));
    FitColumns(*view_, TargetNameColumn);
    UpdateCaption();
}

void TargetsTab::UpdateCaption()
{
    const int all = model_->rowCount();
    const int shown = proxy_->rowCount();
    if (all == 0)
        caption_->setText("No targets yet");
    else if (shown == all)
        caption_->setText(QString("%1 target%2").arg(all).arg(all == 1 ? "" : "s"));
    else
        caption_->setText(QString("%1 of %2 targets").arg(shown).arg(all));
}

} // namespace tarvik
