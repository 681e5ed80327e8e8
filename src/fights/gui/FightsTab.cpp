#include "FightsTab.h"

#include "DpsChartView.h"
#include "TableModel.h"
#include "fights/FightTables.h"
#include "util/gui/QtText.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarvik {

namespace {

// Changes whenever the fight gains an event that its views show.
uint64_t Signature(const Fight& fight)
{
    uint64_t sum = static_cast<uint64_t>(fight.EndSecond()) * 1'000'003u +
                   fight.Characters().size() * 7919u + fight.Deaths().size();
    for (const FightCharacter& c : fight.Characters()) {
        sum = sum * 31 + static_cast<uint64_t>(c.damageDealt + c.damageTaken + c.healingReceived +
                                               c.attacks + c.attacksReceived + c.kills);
    }
    return sum;
}

// Changes when a mark moves one of the fight's characters to another side.
uint64_t SidesSignature(const Fight& fight, const Roster& roster)
{
    uint64_t sum = 0;
    for (const FightCharacter& c : fight.Characters())
        sum = sum * 7 + static_cast<uint64_t>(roster.SideOf(c.id));
    return sum;
}

constexpr int DeathsTab = 2;

} // namespace

FightsTab::FightsTab(QWidget* parent)
    : QWidget(parent)
    , caption_(new QLabel(this))
    , markHint_(new QLabel(this))
    , fightsModel_(new TableModel(this))
    , fightsProxy_(new TableProxy(this))
    , fightsView_(new QTableView(this))
    , details_(new QTabWidget(this))
    , charactersModel_(new TableModel(this))
    , charactersProxy_(new TableProxy(this))
    , charactersView_(new QTableView(details_))
    , chart_(new DpsChartView(details_))
    , deaths_(new QTreeWidget(details_))
{
    setObjectName("tabFights");
    caption_->setObjectName("lblFights");
    markHint_->setObjectName("lblFightsMarkHint");
    markHint_->setWordWrap(true);
    markHint_->setStyleSheet("color: #0000ff;");
    markHint_->setText("Your and your party's DPS need marks: right-click your character in the "
                       "tree and choose My Character, and mark your party members.");

    fightsModel_->SetColumns(FightColumns());
    fightsProxy_->setSourceModel(fightsModel_);
    fightsView_->setObjectName("gridFights");
    fightsView_->setModel(fightsProxy_);
    SetUpTableView(*fightsView_);
    fightsView_->sortByColumn(FightNumberColumn, Qt::DescendingOrder);
    // The name takes the room left, so that the numbers stay in view.
    fightsView_->horizontalHeader()->setStretchLastSection(false);
    fightsView_->horizontalHeader()->setSectionResizeMode(FightNameColumn, QHeaderView::Stretch);

    charactersModel_->SetColumns(FightCharacterColumns());
    charactersProxy_->setSourceModel(charactersModel_);
    charactersView_->setObjectName("gridFightCharacters");
    charactersView_->setModel(charactersProxy_);
    SetUpTableView(*charactersView_);
    charactersView_->sortByColumn(CharacterDamageColumn, Qt::DescendingOrder);
    charactersView_->horizontalHeader()->setStretchLastSection(false);
    charactersView_->horizontalHeader()->setSectionResizeMode(CharacterNameColumn,
                                                              QHeaderView::Stretch);

    deaths_->setObjectName("treeDeathRecaps");
    deaths_->setColumnCount(3);
    deaths_->setHeaderLabels({"Time", "Before", "What happened"});
    deaths_->setRootIsDecorated(true);
    deaths_->setUniformRowHeights(true);

    details_->setObjectName("tabsFightDetails");
    details_->addTab(charactersView_, "Characters");
    details_->addTab(chart_, "Damage chart");
    details_->addTab(deaths_, "Deaths");
    details_->setDocumentMode(true);

    auto* top = new QWidget(this);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(caption_);
    topLayout->addWidget(markHint_);
    topLayout->addWidget(fightsView_, 1);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(top);
    splitter->addWidget(details_);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    splitter->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);

    connect(fightsView_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { ShowSelectedFight(false); });
    Clear();
}

void FightsTab::SetSource(FightSource source)
{
    source_ = std::move(source);
}

void FightsTab::Clear()
{
    fightsModel_->Clear();
    known_ = 0;
    ClearDetails();
    caption_->setText("No fights yet: analyse logs, or follow the game with monitoring.");
    markHint_->setVisible(false);
}

void FightsTab::ClearDetails()
{
    charactersModel_->Clear();
    chart_->Clear();
    deaths_->clear();
    details_->setTabText(DeathsTab, "Deaths");
    shownFight_ = -1;
    shownSignature_ = 0;
    shownDeaths_ = 0;
}

void FightsTab::Refresh()
{
    if (!source_.tracker)
        return;
    const auto& fights = source_.tracker->Fights();
    const Roster roster = source_.roster();
    const DateTime now = source_.now();
    std::vector<TableRow> rows;
    rows.reserve(fights.size());
    for (const Fight& fight : fights)
        rows.push_back(FightTableRow(fight, roster, source_.tracker->IsRunning(fight, now)));
    const bool first = fightsModel_->rowCount() == 0;
    fightsModel_->SetRows(std::move(rows));
    known_ = fights.size();
    dropped_ = source_.tracker->DroppedFights();
    if (first)
        fightsView_->resizeColumnsToContents();
    UpdateCaption(roster);
    // The details are never empty beside a list of fights: the top one shows.
    if (!fightsView_->selectionModel()->hasSelection() && fightsProxy_->rowCount() > 0) {
        const QModelIndex top = fightsProxy_->index(0, 0);
        fightsView_->selectionModel()->setCurrentIndex(top, QItemSelectionModel::ClearAndSelect |
                                                                QItemSelectionModel::Rows);
    }
    ShowSelectedFight(true);
}

void FightsTab::Update()
{
    if (!source_.tracker)
        return;
    const auto& fights = source_.tracker->Fights();
    // Old fights dropped, or the data cleared: fill the table anew.
    if (source_.tracker->DroppedFights() != dropped_ || fights.size() < known_ ||
        (known_ == 0 && !fights.empty())) {
        Refresh();
        return;
    }
    const Roster roster = source_.roster();
    const DateTime now = source_.now();
    std::vector<TableRow> rows;
    // Only the newest fight grows; it stops running as time passes.
    for (size_t i = known_ > 0 ? known_ - 1 : 0; i < fights.size(); ++i)
        rows.push_back(
            FightTableRow(fights[i], roster, source_.tracker->IsRunning(fights[i], now)));
    fightsModel_->UpdateRows(std::move(rows));
    if (fights.size() != known_) {
        known_ = fights.size();
        UpdateCaption(roster);
    }
    ShowSelectedFight(false);
}

void FightsTab::UpdateCaption(const Roster& roster)
{
    if (known_ == 0) {
        caption_->setText("No fights in these logs.");
    } else {
        caption_->setText(QString("%1 fight%2. Select one for its characters, damage chart and "
                                  "deaths; click a heading to sort.")
                              .arg(known_)
                              .arg(known_ == 1 ? "" : "s"));
    }
    markHint_->setVisible(known_ > 0 && roster.userId < 1);
}

int FightsTab::SelectedFight() const
{
    const QModelIndexList selected = fightsView_->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return -1;
    return static_cast<int>(selected.first().data(TableModel::KeyRole).toLongLong());
}

void FightsTab::SelectFight(int index)
{
    const int row = fightsModel_->RowOf(index);
    if (row < 0) {
        fightsView_->clearSelection();
        return;
    }
    const QModelIndex shown = fightsProxy_->mapFromSource(fightsModel_->index(row, 0));
    fightsView_->selectionModel()->setCurrentIndex(shown, QItemSelectionModel::ClearAndSelect |
                                                              QItemSelectionModel::Rows);
    fightsView_->scrollTo(shown);
}

void FightsTab::ShowSelectedFight(bool force)
{
    const int index = SelectedFight();
    const Fight* kept =
        source_.tracker && index >= 0 ? source_.tracker->FightByIndex(index) : nullptr;
    if (!kept) {
        if (shownFight_ >= 0)
            ClearDetails();
        return;
    }
    const Fight& fight = *kept;
    const Roster roster = source_.roster();
    const uint64_t signature = Signature(fight);
    const uint64_t sides = SidesSignature(fight, roster);
    const bool otherFight = index != shownFight_;
    if (!force && !otherFight && signature == shownSignature_ && sides == shownSides_)
        return;
    std::vector<TableRow> rows;
    for (const FightCharacterRow& character : FightCharacterRows(fight, roster))
        rows.push_back(FightCharacterTableRow(character));
    if (otherFight)
        charactersModel_->Clear();
    charactersModel_->SetRows(std::move(rows));
    if (otherFight)
        charactersView_->resizeColumnsToContents();
    chart_->ShowChart(BuildDpsChart(fight, roster));
    if (force || otherFight || fight.Deaths().size() != shownDeaths_ || sides != shownSides_)
        ShowDeaths(fight, roster);
    shownFight_ = index;
    shownSignature_ = signature;
    shownSides_ = sides;
}

void FightsTab::ShowDeaths(const Fight& fight, const Roster& roster)
{
    deaths_->clear();
    shownDeaths_ = fight.Deaths().size();
    const std::vector<const DeathRecap*> shown = ShownDeaths(fight, roster);
    details_->setTabText(DeathsTab, shown.empty() ? QString("Deaths")
                                                  : QString("Deaths (%1)").arg(shown.size()));
    if (shown.empty()) {
        auto* none = new QTreeWidgetItem(deaths_);
        none->setText(2, "Nobody on your side died in this fight.");
        return;
    }
    QFont bold = deaths_->font();
    bold.setBold(true);
    for (const DeathRecap* recap : shown) {
        const RecapView view = BuildRecap(*recap, roster);
        auto* death = new QTreeWidgetItem(deaths_);
        death->setText(0, ToQString(view.time));
        death->setText(2, ToQString(view.victim + " killed by " + view.killer));
        for (int column = 0; column < 3; ++column)
            death->setFont(column, bold);
        for (const RecapLine& line : view.lines) {
            auto* event = new QTreeWidgetItem(death);
            event->setText(0, ToQString(line.time));
            // "-0 s" would read as a sign slip.
            event->setText(1, line.secondsBefore > 0 ? QString("-%1 s").arg(line.secondsBefore)
                                                     : QString("0 s"));
            event->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
            event->setText(2, ToQString(line.text));
            if (line.killingBlow)
                event->setFont(2, bold);
        }
        if (!view.byAttacker.empty()) {
            auto* attackers = new QTreeWidgetItem(death);
            attackers->setText(2, ToQString(RecapAttackersText(view)));
        }
    }
    deaths_->expandAll();
    for (int column = 0; column < 2; ++column)
        deaths_->resizeColumnToContents(column);
}

} // namespace tarvik
