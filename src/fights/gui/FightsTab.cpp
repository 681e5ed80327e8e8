#include "FightsTab.h"

#include "DpsChartView.h"
#include "TableFit.h"
#include "TableModel.h"
#include "fights/CurrentFightRule.h"
#include "fights/FightGroup.h"
#include "fights/FightTables.h"
#include "util/gui/QtText.h"

#include <algorithm>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
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

constexpr int CharactersTab = 0;

// Changes when a mark moves one of the fight's characters to another side.
uint64_t SidesSignature(const Fight& fight, const Roster& roster)
{
    uint64_t sum = 0;
    for (const FightCharacter& c : fight.Characters())
        sum = sum * 7 + static_cast<uint64_t>(roster.SideOf(c.id));
    return sum;
}

constexpr int DeathsTab = 2;

void ScrollsSideways(QTreeWidget& tree)
{
    tree.header()->setStretchLastSection(false);
    tree.header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree.setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

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
    , breakdown_(new QTreeWidget(details_))
    , chart_(new DpsChartView(details_))
    , deaths_(new QTreeWidget(details_))
    , copy_(new QAction("Copy Fight Summary", this))
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
    // Several fights selected read as one.
    fightsView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    fightsView_->sortByColumn(FightNumberColumn, Qt::DescendingOrder);
    fightsView_->horizontalHeader()->setStretchLastSection(false);
    KeepColumnsFitted(*fightsView_, FightNameColumn);

    copy_->setObjectName("actCopyFightSummary");
    copy_->setShortcut(QKeySequence::Copy);
    copy_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    copy_->setToolTip("Copy one line for the game's chat: the fight, its length and your side's "
                      "DPS with their shares");
    fightsView_->addAction(copy_);
    fightsView_->setContextMenuPolicy(Qt::ActionsContextMenu);
    // The view copies its current cell on Ctrl+C before any shortcut sees it.
    fightsView_->installEventFilter(this);
    connect(copy_, &QAction::triggered, this, &FightsTab::CopySummary);

    charactersModel_->SetColumns(FightCharacterColumns());
    charactersProxy_->setSourceModel(charactersModel_);
    charactersView_->setObjectName("gridFightCharacters");
    charactersView_->setModel(charactersProxy_);
    SetUpTableView(*charactersView_);
    charactersView_->sortByColumn(CharacterDamageColumn, Qt::DescendingOrder);
    charactersView_->horizontalHeader()->setStretchLastSection(false);
    KeepColumnsFitted(*charactersView_, CharacterNameColumn);

    breakdown_->setObjectName("treeCharacterBreakdown");
    // One column, "Hits: 36 (87.8%)": it reads whole in a narrow pane.
    breakdown_->setColumnCount(1);
    breakdown_->setHeaderLabels({"Breakdown"});
    breakdown_->setUniformRowHeights(true);
    ScrollsSideways(*breakdown_);

    auto* characters = new QSplitter(Qt::Horizontal, details_);
    characters->addWidget(charactersView_);
    characters->addWidget(breakdown_);
    characters->setStretchFactor(0, 1);
    characters->setStretchFactor(1, 0);
    characters->setChildrenCollapsible(false);
    // Room for a label and its value; the table scrolls instead.
    breakdown_->setMinimumWidth(breakdown_->fontMetrics().horizontalAdvance("M") * 22);
    characters->setSizes({2000, breakdown_->fontMetrics().horizontalAdvance("M") * 26});

    deaths_->setObjectName("treeDeathRecaps");
    deaths_->setColumnCount(3);
    deaths_->setHeaderLabels({"Time", "Before", "What happened"});
    deaths_->setRootIsDecorated(true);
    deaths_->setUniformRowHeights(true);
    ScrollsSideways(*deaths_);

    details_->setObjectName("tabsFightDetails");
    details_->addTab(characters, "Characters");
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

    connect(fightsView_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!selecting_)
            PlayerSelected();
        ShowSelectedFights(false);
    });
    connect(charactersView_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FightsTab::ShowBreakdown);
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
    following_ = true;
    ClearDetails();
    caption_->setText("No fights yet: analyse logs, or follow the game with monitoring.");
    markHint_->setVisible(false);
}

void FightsTab::ClearDetails()
{
    charactersModel_->Clear();
    shownRows_.clear();
    chart_->Clear();
    deaths_->clear();
    details_->setTabText(CharactersTab, "Characters");
    details_->setTabText(DeathsTab, "Deaths");
    shownFights_.clear();
    shownSignature_ = 0;
    shownSides_ = 0;
    shownDeaths_ = 0;
    ShowBreakdown();
}

int32_t FightsTab::CurrentFight() const
{
    if (!source_.tracker)
        return -1;
    const Fight* fight = CurrentFightOf(*source_.tracker, source_.now()).fight;
    return fight ? fight->Index().value() : -1;
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
    selecting_ = true; // a re-sort moves the selection, it does not change it
    fightsModel_->SetRows(std::move(rows));
    selecting_ = false;
    known_ = fights.size();
    dropped_ = source_.tracker->DroppedFights();
    FitColumns(*fightsView_, FightNameColumn);
    UpdateCaption(roster);
    // The details are never empty beside a list of fights.
    if (!fightsView_->selectionModel()->hasSelection())
        following_ = true;
    FollowCurrent();
    ShowSelectedFights(true);
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
    selecting_ = true;
    fightsModel_->UpdateRows(std::move(rows));
    selecting_ = false;
    if (fights.size() != known_) {
        known_ = fights.size();
        UpdateCaption(roster);
        FitColumns(*fightsView_, FightNameColumn);
    }
    FollowCurrent();
    ShowSelectedFights(false);
}

void FightsTab::UpdateCaption(const Roster& roster)
{
    if (known_ == 0) {
        caption_->setText("No fights in these logs.");
    } else {
        caption_->setText(QString("%1 fight%2. Select one for its characters, damage chart and "
                                  "deaths, several to add them up; click a heading to sort, "
                                  "right-click to copy a summary.")
                              .arg(known_)
                              .arg(known_ == 1 ? "" : "s"));
    }
    markHint_->setVisible(known_ > 0 && roster.userId.IsNone());
}

std::vector<int32_t> FightsTab::SelectedFights() const
{
    std::vector<int32_t> indices;
    for (const QModelIndex& row : fightsView_->selectionModel()->selectedRows())
        indices.push_back(static_cast<int32_t>(row.data(TableModel::KeyRole).toLongLong()));
    std::sort(indices.begin(), indices.end());
    return indices;
}

int FightsTab::SelectedFight() const
{
    const std::vector<int32_t> indices = SelectedFights();
    return indices.empty() ? -1 : indices.front();
}

void FightsTab::SelectFight(int index)
{
    SelectFights({index});
}

void FightsTab::SelectFights(const std::vector<int32_t>& indices)
{
    SelectRows(indices);
    PlayerSelected();
}

void FightsTab::SelectRows(const std::vector<int32_t>& indices)
{
    selecting_ = true;
    QItemSelection selection;
    QModelIndex first;
    for (const int32_t index : indices) {
        const int row = fightsModel_->RowOf(index);
        if (row < 0)
            continue;
        const QModelIndex shown = fightsProxy_->mapFromSource(fightsModel_->index(row, 0));
        selection.select(shown, shown);
        if (!first.isValid())
            first = shown;
    }
    QItemSelectionModel* model = fightsView_->selectionModel();
    model->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (first.isValid()) {
        model->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
        fightsView_->scrollTo(first);
    }
    selecting_ = false;
    ShowSelectedFights(false);
}

void FightsTab::PlayerSelected()
{
    const std::vector<int32_t> indices = SelectedFights();
    following_ = indices.size() == 1 && indices.front() == CurrentFight();
}

void FightsTab::FollowCurrent()
{
    const int32_t current = CurrentFight();
    if (!following_ || current < 0 || SelectedFights() == std::vector<int32_t>{current})
        return;
    SelectRows({current});
}

void FightsTab::ShowSelectedFights(bool force)
{
    std::vector<int32_t> indices;
    std::vector<const Fight*> fights;
    uint64_t signature = 0;
    size_t deaths = 0;
    for (const int32_t index : SelectedFights()) {
        const Fight* fight =
            source_.tracker ? source_.tracker->FightByIndex(FightIndex(index)) : nullptr;
        if (!fight)
            continue;
        indices.push_back(index);
        fights.push_back(fight);
        signature = signature * 1'000'033u + Signature(*fight);
        deaths += fight->Deaths().size();
    }
    if (fights.empty()) {
        if (!shownFights_.empty())
            ClearDetails();
        return;
    }
    const Roster roster = source_.roster();
    uint64_t sides = 0;
    for (const Fight* fight : fights)
        sides = sides * 1'000'033u + SidesSignature(*fight, roster);
    const bool otherFights = indices != shownFights_;
    if (!force && !otherFights && signature == shownSignature_ && sides == shownSides_)
        return;
    shownRows_ = FightCharacterRows(fights, roster);
    std::vector<TableRow> rows;
    for (const FightCharacterRow& character : shownRows_)
        rows.push_back(FightCharacterTableRow(character));
    if (otherFights)
        charactersModel_->Clear();
    const int before = charactersModel_->rowCount();
    charactersModel_->SetRows(std::move(rows));
    // Characters who join a running fight may have longer names.
    if (otherFights || force || charactersModel_->rowCount() != before)
        FitColumns(*charactersView_, CharacterNameColumn);
    details_->setTabText(
        CharactersTab, fights.size() == 1 ? QString("Characters")
                                          : QString("Characters of %1 fights").arg(fights.size()));
    if (fights.size() == 1)
        chart_->ShowChart(BuildDpsChart(*fights.front(), roster));
    else
        chart_->Clear("The chart shows one fight: select only one");
    if (force || otherFights || deaths != shownDeaths_ || sides != shownSides_)
        ShowDeaths(fights, roster);
    shownFights_ = std::move(indices);
    shownSignature_ = signature;
    shownSides_ = sides;
    ShowBreakdown();
}

void FightsTab::ShowBreakdown()
{
    breakdown_->clear();
    const QModelIndexList selected = charactersView_->selectionModel()->selectedRows();
    const int32_t id =
        selected.isEmpty()
            ? 0
            : static_cast<int32_t>(selected.first().data(TableModel::KeyRole).toLongLong());
    const std::optional<CharacterBreakdown> breakdown =
        id > 0 && source_.roster ? BreakdownOf(shownRows_, CharacterId(id), source_.roster())
                                 : std::nullopt;
    if (!breakdown) {
        auto* hint = new QTreeWidgetItem(breakdown_);
        hint->setText(0, "Select a character.");
        hint->setToolTip(0, "Select a character in the table for what it did and took");
        breakdown_->setHeaderLabels({"Breakdown"});
        return;
    }
    breakdown_->setHeaderLabels({ToQString(breakdown->name)});
    QFont bold = breakdown_->font();
    bold.setBold(true);
    QTreeWidgetItem* group = nullptr;
    for (const BreakdownLine& line : BreakdownLines(*breakdown)) {
        auto* item =
            line.heading || !group ? new QTreeWidgetItem(breakdown_) : new QTreeWidgetItem(group);
        item->setText(0,
                      ToQString(line.value.empty() ? line.label : line.label + ": " + line.value));
        if (!line.tip.empty())
            item->setToolTip(0, ToQString(line.tip));
        if (line.heading) {
            item->setFont(0, bold);
            group = item;
        }
    }
    breakdown_->expandAll();
}

void FightsTab::SelectCharacter(int32_t id)
{
    const int row = charactersModel_->RowOf(id);
    if (row < 0) {
        charactersView_->clearSelection();
        return;
    }
    charactersView_->selectRow(
        charactersProxy_->mapFromSource(charactersModel_->index(row, 0)).row());
}

QString FightsTab::SummaryLine() const
{
    std::vector<const Fight*> fights;
    for (const int32_t index : SelectedFights()) {
        if (const Fight* fight =
                source_.tracker ? source_.tracker->FightByIndex(FightIndex(index)) : nullptr)
            fights.push_back(fight);
    }
    if (fights.empty())
        return {};
    const Roster roster = source_.roster();
    return ToQString(ChatSummaryLine(SummarizeFights(fights, roster),
                                     FightCharacterRows(fights, roster), roster));
}

void FightsTab::CopySummary()
{
    const QString line = SummaryLine();
    if (!line.isEmpty())
        QGuiApplication::clipboard()->setText(line);
}

bool FightsTab::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == fightsView_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        CopySummary();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FightsTab::ShowDeaths(const std::vector<const Fight*>& fights, const Roster& roster)
{
    deaths_->clear();
    shownDeaths_ = 0;
    std::vector<const DeathRecap*> shown;
    for (const Fight* fight : fights) {
        shownDeaths_ += fight->Deaths().size();
        for (const DeathRecap* recap : ShownDeaths(*fight, roster))
            shown.push_back(recap);
    }
    details_->setTabText(DeathsTab, shown.empty() ? QString("Deaths")
                                                  : QString("Deaths (%1)").arg(shown.size()));
    if (shown.empty()) {
        auto* none = new QTreeWidgetItem(deaths_);
        none->setText(2, fights.size() == 1 ? "Nobody on your side died in this fight."
                                            : "Nobody on your side died in these fights.");
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
}

} // namespace tarvik
