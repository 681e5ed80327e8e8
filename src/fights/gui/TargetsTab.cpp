#include "TargetsTab.h"

#include "TableFit.h"
#include "TableModel.h"
#include "fights/FightTables.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
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
    , card_(new QLabel(this))
    , attackerModel_(new TableModel(this))
    , attackerProxy_(new TableProxy(this))
    , attackerView_(new QTableView(this))
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

    card_->setObjectName("lblTargetCard");
    card_->setTextFormat(Qt::PlainText); // names are the log's, never markup
    card_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    card_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    card_->setWordWrap(true);
    attackerModel_->SetColumns(AttackerDamageColumns());
    attackerProxy_->setSourceModel(attackerModel_);
    attackerView_->setObjectName("gridTargetAttackers");
    attackerView_->setModel(attackerProxy_);
    SetUpTableView(*attackerView_);
    attackerView_->sortByColumn(AttackerDamageColumn, Qt::DescendingOrder);

    auto* bar = new QHBoxLayout;
    bar->addWidget(filter_, 1);
    bar->addWidget(caption_);
    auto* detail = new QSplitter(Qt::Horizontal, this);
    detail->addWidget(card_);
    detail->addWidget(attackerView_);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(view_);
    split->addWidget(detail);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(split, 1);

    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { ShowSelected(); });

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
    targets_.clear();
    ShowSelected();
    UpdateCaption();
}

void TargetsTab::Refresh()
{
    if (!source_.tracker)
        return;
    const Roster roster = source_.roster();
    model_->SetColumns(TargetColumns(roster));
    targets_ = TargetRows(*source_.tracker, roster);
    std::vector<TableRow> rows;
    for (const TargetRow& target : targets_)
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
    ShowSelected();
    UpdateCaption();
}

void TargetsTab::ShowSelected()
{
    const QModelIndex current = view_->selectionModel()->currentIndex();
    const TargetRow* target = nullptr;
    if (current.isValid()) {
        const int64_t key = proxy_->data(current, TableModel::KeyRole).toLongLong();
        for (const TargetRow& row : targets_) {
            if (row.id.value() == key)
                target = &row;
        }
    }
    if (!target) {
        card_->clear();
        attackerModel_->SetRows({});
        return;
    }
    QStringList lines{QString::fromStdString(target->name)};
    for (const std::string& line : TargetCardLines(*target))
        lines << QString::fromStdString(line);
    card_->setText(lines.join('\n'));
    std::vector<TableRow> attackers;
    for (const AttackerDamageRow& attacker : target->damage.rows)
        attackers.push_back(AttackerDamageTableRow(attacker));
    attackerModel_->SetRows(std::move(attackers));
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
