// The fights and targets tabs over a tracker fed by hand: their models,
// sorting, filtering, and live updates that keep what the player chose.
#include "fights/FightTables.h"
#include "fights/gui/DpsChartView.h"
#include "fights/gui/FightsTab.h"
#include "fights/gui/TableModel.h"
#include "fights/gui/TargetsTab.h"

#include <memory>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>
#include <QValueAxis>

using namespace tarvik;

namespace {

DateTime At(int second)
{
    return DateTime::FromCivil(2026, 7, 3, 20, 0, 0).AddSeconds(second);
}

TableRow Row(int64_t key, const char* name, std::optional<double> number)
{
    TableRow row;
    row.key = key;
    row.cells = {{name, std::nullopt},
                 {number ? std::to_string(static_cast<int>(*number)) : "?", number}};
    return row;
}

std::vector<TableColumn> NameAndNumber()
{
    return {{"Name", false, ""}, {"Number", true, ""}};
}

// The column's texts from the top of the view down.
QStringList Column(const QAbstractItemModel& model, int column)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, column).data().toString();
    return texts;
}

// You (1), a friend in your party (2), and enemies after them.
struct Battle {
    Battle()
    {
        for (const char* name : {"You", "Friend", "Ogre", "Goblin", "Rat", "Wolf"}) {
            auto c = std::make_unique<Character>();
            c->CreateCharacter(name, characters.NextId());
            characters.Add(name, std::move(c));
        }
        characters.At(CharacterId(2))->SetIsPartyMember(true);
    }
    void Damage(int second, int32_t attacker, int32_t defender, int32_t physical)
    {
        amounts = {physical, 0, physical};
        tracker.OnDamage({At(second), CharacterId(attacker), CharacterId(defender), amounts, 1u});
    }
    FightSource Source()
    {
        return {&tracker,
                [this] {
                    return Roster{characters, CharacterId(userId), damageTypes, saveTypes};
                },
                [this] { return now; }};
    }

    CharacterList characters;
    int32_t userId = 1;
    std::vector<std::string> damageTypes = {"Physical", "Fire", "Total"};
    std::vector<std::string> saveTypes = {"Fort", "Reflex", "Will"};
    FightTracker tracker{3};
    std::vector<int32_t> amounts;
    DateTime now = At(0);
};

} // namespace

class FightViewsTest : public QObject {
    Q_OBJECT

private slots:
    // Every change the views make goes through the tester's checks.
    void modelPassesTheTesterThroughEveryKindOfUpdate()
    {
        TableModel model;
        TableProxy proxy;
        proxy.setSourceModel(&model);
        QAbstractItemModelTester sourceTester(
            &model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester proxyTester(
            &proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        proxy.sort(1, Qt::DescendingOrder);
        model.SetColumns(NameAndNumber());
        model.SetRows({Row(1, "a", 5), Row(2, "b", 7), Row(3, "c", std::nullopt)});
        model.UpdateRows({Row(2, "b", 1), Row(4, "d", 9), Row(4, "d", 10)}); // the last 4 wins
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.index(model.RowOf(4), 1).data(TableModel::SortRole).toDouble(), 10.0);
        model.SetRows({Row(4, "d", 2), Row(1, "a", 5), Row(5, "e", 3)}); // 2 and 3 go
        QCOMPARE(Column(model, 0), (QStringList{"a", "d", "e"}));
        QCOMPARE(model.RowOf(2), -1);
        QCOMPARE(model.RowOf(5), 2);
        model.SetColumns({{"Other", false, ""}});
        QCOMPARE(model.rowCount(), 0);
        model.SetColumns(NameAndNumber());
        model.SetRows({Row(1, "a", 1)});
        model.Clear();
        QCOMPARE(proxy.rowCount(), 0);
    }

    // "1,000" above "200", unknowns last in either order, names without case.
    void sortsNumbersAsNumbersAndUnknownsLast()
    {
        TableModel model;
        model.SetColumns(NameAndNumber());
        TableRow thousand = Row(1, "beta", 1000);
        thousand.cells[1].text = "1,000";
        model.SetRows(
            {thousand, Row(2, "Alpha", 200), Row(3, "gamma", std::nullopt), Row(4, "delta", -3)});
        TableProxy proxy;
        proxy.setSourceModel(&model);
        proxy.sort(1, Qt::AscendingOrder);
        QCOMPARE(Column(proxy, 1), (QStringList{"-3", "200", "1,000", "?"}));
        proxy.sort(1, Qt::DescendingOrder);
        QCOMPARE(Column(proxy, 1), (QStringList{"1,000", "200", "-3", "?"}));
        proxy.sort(0, Qt::AscendingOrder);
        QCOMPARE(Column(proxy, 0), (QStringList{"Alpha", "beta", "delta", "gamma"}));
        QCOMPARE(model.index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::AlignRight | Qt::AlignVCenter);
    }

    void fightsNewestFirstWithTheSelectedFightsDetails()
    {
        Battle b;
        b.Damage(0, 1, 3, 30); // fight 1: you hit the ogre
        b.Damage(4, 3, 1, 12);
        b.Damage(100, 2, 4, 50); // fight 2: your friend and the goblin
        b.Damage(101, 4, 2, 7);
        b.Damage(102, 1, 4, 10);
        b.tracker.OnKill({At(103), CharacterId(4), CharacterId(2)});
        b.now = At(200);
        FightsTab tab;
        tab.SetSource(b.Source());
        tab.Refresh();
        QAbstractItemModelTester tester(tab.FightsView()->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(Column(*tab.FightsView()->model(), FightNameColumn),
                 (QStringList{"Goblin", "Ogre"}));
        QVERIFY(!tab.MarkHint()->isVisibleTo(&tab));
        // The newest fight is chosen for the player.
        QCOMPARE(tab.SelectedFight(), 1);
        // Sorted by damage dealt, most first.
        QCOMPARE(Column(*tab.CharactersView()->model(), CharacterNameColumn),
                 (QStringList{"Friend", "You", "Goblin"}));
        // You, party, the goblin; what your side took is the goblin's line again.
        QCOMPARE(tab.Chart()->LineCount(), 3);
        QCOMPARE(tab.Chart()->DeathMarks(), 1);
        QCOMPARE(tab.DetailTabs()->tabText(2), QString("Deaths (1)"));
        // The recap's texts are the engine's; here it shows with its events.
        QTreeWidgetItem* death = tab.Deaths()->topLevelItem(0);
        QVERIFY(death);
        // The goblin's one blow, then the damage by attacker.
        QCOMPARE(death->childCount(), 2);
        QVERIFY(death->child(1)->text(2).startsWith("By attacker: Goblin 7"));

        tab.SelectFight(0);
        QCOMPARE(Column(*tab.CharactersView()->model(), CharacterNameColumn),
                 (QStringList{"You", "Ogre"}));
        QCOMPARE(tab.DetailTabs()->tabText(2), QString("Deaths"));

        // Without your character marked the DPS are 0, and the tab says why.
        tab.SelectFight(1);
        b.userId = 0;
        b.characters.At(CharacterId(2))->SetIsPartyMember(false);
        tab.Refresh();
        QVERIFY(tab.MarkHint()->isVisibleTo(&tab));
        // The friend's death is no longer one of your side's.
        QCOMPARE(tab.DetailTabs()->tabText(2), QString("Deaths"));
        tab.Clear();
        QCOMPARE(tab.FightsModel()->rowCount(), 0);
        QCOMPARE(tab.CharactersModel()->rowCount(), 0);
    }

    // A tick while the player looks at an older fight, sorted their way and
    // scrolled down: the running fight grows, a new one begins, and the
    // selection, the order and the place stay.
    void liveUpdateKeepsSelectionSortAndScroll()
    {
        Battle b;
        for (int fight = 0; fight < 60; ++fight)
            b.Damage(fight * 100, 1, 3 + fight % 4, 10 + fight);
        b.now = At(59 * 100 + 2); // the last fight runs
        FightsTab tab;
        tab.resize(600, 500);
        tab.show();
        tab.SetSource(b.Source());
        tab.Refresh();
        QTableView* view = tab.FightsView();
        QAbstractItemModelTester tester(view->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester charactersTester(
            tab.CharactersView()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QModelIndex top = view->model()->index(0, FightNameColumn);
        QCOMPARE(top.data().toString(), QString("Wolf  - running"));
        QVERIFY(top.data(Qt::FontRole).value<QFont>().bold());

        view->sortByColumn(FightYourDpsColumn, Qt::AscendingOrder);
        tab.SelectFight(30);
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum() / 2);
        const int scrolled = view->verticalScrollBar()->value();
        QVERIFY(scrolled > 0);

        b.Damage(59 * 100 + 3, 1, 6, 500); // the running fight grows
        b.now = At(59 * 100 + 4);
        tab.Update();
        b.Damage(7000, 2, 3, 5); // a new fight
        b.Damage(7001, 1, 3, 1);
        b.now = At(7002);
        tab.Update();

        QCOMPARE(tab.FightsModel()->rowCount(), 61);
        QCOMPARE(tab.SelectedFight(), 30);
        QCOMPARE(view->horizontalHeader()->sortIndicatorSection(), int(FightYourDpsColumn));
        QCOMPARE(view->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
        QCOMPARE(view->verticalScrollBar()->value(), scrolled);
        const QStringList your = Column(*view->model(), FightYourDpsColumn);
        for (int row = 1; row < your.size(); ++row)
            QVERIFY2(your[row - 1].toDouble() <= your[row].toDouble(), qPrintable(your.join(' ')));
        // The fight that ran has ended and lost its mark; the new one has it.
        const TableModel& model = *tab.FightsModel();
        QCOMPARE(model.Row(model.RowOf(59)).emphasized, false);
        QCOMPARE(model.Row(model.RowOf(60)).emphasized, true);
        QCOMPARE(model.Row(model.RowOf(59)).cells[FightYourDpsColumn].text,
                 std::string("189.7")); // (69 + 500) over 3 s

        // Watching the running fight: its characters follow the tick.
        tab.SelectFight(60);
        QCOMPARE(tab.CharactersModel()->rowCount(), 3);
        b.Damage(7003, 5, 1, 4);
        tab.Update();
        QCOMPARE(tab.CharactersModel()->rowCount(), 4);
        QCOMPARE(tab.SelectedFight(), 60);
    }

    // While fights come in, the tab shows the current one until the player
    // picks another or several; the newest picked alone follows again.
    void followsTheCurrentFightUntilThePlayerPicksAnother()
    {
        Battle b;
        b.Damage(0, 1, 3, 30);   // fight 0
        b.Damage(100, 1, 4, 20); // fight 1, running
        b.now = At(101);
        FightsTab tab;
        tab.SetSource(b.Source());
        tab.Refresh();
        QVERIFY(tab.Following());
        QCOMPARE(tab.SelectedFight(), 1);

        struct Step {
            const char* what;
            std::vector<int32_t> pick; // empty: no pick, a new fight begins
            bool following;
            std::vector<int32_t> shown;
        };
        const Step steps[] = {
            {"a new fight is followed", {}, true, {2}},
            {"an older fight pins the view", {0}, false, {0}},
            {"new fights leave a pinned view alone", {}, false, {0}},
            {"several fights pin it too", {0, 2}, false, {0, 2}},
            {"the newest alone follows again", {3}, true, {3}},
            {"and moves on with the next", {}, true, {4}},
        };
        int second = 200;
        for (const Step& step : steps) {
            if (step.pick.empty()) {
                b.Damage(second, 2, 5, 10);
                b.now = At(second + 1);
                second += 100;
                tab.Update();
            } else {
                tab.SelectFights(step.pick);
            }
            QVERIFY2(tab.Following() == step.following, step.what);
            QVERIFY2(tab.SelectedFights() == step.shown, step.what);
        }
    }

    // Fights 0 and 1 selected together read as one: sums over the sum of
    // their durations, and a chat line of the two.
    void severalFightsReadAsOne()
    {
        Battle b;
        b.Damage(0, 1, 3, 30); // fight 0: 10 s
        b.Damage(10, 2, 3, 10);
        b.Damage(100, 1, 4, 20); // fight 1: 4 s
        b.Damage(104, 2, 4, 10);
        b.now = At(1000);
        FightsTab tab;
        tab.SetSource(b.Source());
        tab.Refresh();
        tab.SelectFights({0, 1});
        const TableModel& characters = *tab.CharactersModel();
        QCOMPARE(characters.rowCount(), 4); // you, friend, ogre, goblin
        const TableRow& you = characters.Row(characters.RowOf(1));
        QCOMPARE(you.cells[CharacterDamageColumn].text, std::string("50"));
        QCOMPARE(you.cells[CharacterDpsColumn].text, std::string("3.6")); // 50 over 14 s
        QCOMPARE(tab.DetailTabs()->tabText(0), QString("Characters of 2 fights"));
        QCOMPARE(tab.Chart()->LineCount(), 0);
        // You 50 and Friend 20 over 14 s; 71% and 29% of 70.
        QCOMPARE(tab.SummaryLine(), QString("2 fights 14 s | You 3.6 (71%) | Friend 1.4 (29%)"));

        // Ctrl+C on the table copies the line of the fights selected.
        tab.SelectFight(1);
        tab.show();
        tab.FightsView()->setFocus();
        QApplication::clipboard()->clear();
        QTest::keyClick(tab.FightsView(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(),
                 QString("Goblin 4 s | You 5 (67%) | Friend 2.5 (33%)"));
        QVERIFY(tab.FightsView()->actions().contains(tab.CopyAction()));

        // A character's breakdown beside the table.
        tab.SelectCharacter(1);
        QTreeWidget* breakdown = tab.Breakdown();
        QCOMPARE(breakdown->headerItem()->text(0), QString("You"));
        const QList<QTreeWidgetItem*> damage =
            breakdown->findItems("Damage: ", Qt::MatchStartsWith | Qt::MatchRecursive, 0);
        QCOMPARE(damage.size(), 1);
        QCOMPARE(damage[0]->text(0), QString("Damage: 20 (66.7% of its side)"));
    }

    // A first click on a number column puts the largest on top, and the
    // arrow points down the way the values fall.
    void firstClickOnANumberSortsLargestFirst()
    {
        Battle b;
        b.Damage(0, 1, 3, 30);
        b.Damage(100, 1, 4, 90);
        b.Damage(200, 1, 5, 60);
        b.now = At(1000);
        FightsTab tab;
        tab.resize(900, 600);
        tab.show();
        tab.SetSource(b.Source());
        tab.Refresh();
        QTableView* view = tab.FightsView();
        QHeaderView* header = view->horizontalHeader();
        struct Click {
            int column;
            Qt::SortOrder order;
            QStringList top;
        };
        const Click clicks[] = {
            {FightYourDpsColumn, Qt::DescendingOrder, {"90", "60", "30"}},
            {FightYourDpsColumn, Qt::AscendingOrder, {"30", "60", "90"}},
            {FightNameColumn, Qt::AscendingOrder, {"Goblin", "Ogre", "Rat"}},
        };
        for (const Click& click : clicks) {
            const QPoint at(header->sectionViewportPosition(click.column) +
                                header->sectionSize(click.column) / 2,
                            header->height() / 2);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
            QCOMPARE(header->sortIndicatorOrder(), click.order);
            QCOMPARE(Column(*view->model(), click.column), click.top);
        }
    }

    void legendClickHidesAndShowsALine()
    {
        Battle b;
        b.Damage(0, 1, 3, 30);
        b.Damage(1, 3, 1, 12);
        b.Damage(2, 4, 1, 5);
        b.tracker.OnKill({At(3), CharacterId(3), CharacterId(1)});
        b.Damage(12, 1, 3, 30);
        b.now = At(200);
        DpsChartView chart;
        chart.resize(700, 400);
        chart.show();
        chart.ShowChart(BuildDpsChart(b.tracker.Fights().at(0), b.Source().roster()));
        QCOMPARE(chart.LineCount(), 4); // you, ogre, goblin, damage taken
        QCOMPARE(chart.DeathMarks(), 1);
        QCOMPARE(chart.TimeAxis()->max(), 12.0); // the fight's length, not a round number
        QVERIFY(chart.LineVisible("Ogre"));
        QList<QLegendMarker*> markers = chart.chart()->legend()->markers();
        auto ogre = std::find_if(markers.begin(), markers.end(),
                                 [](QLegendMarker* marker) { return marker->label() == "Ogre"; });
        QVERIFY(ogre != markers.end());
        QVERIFY(QTest::qWaitForWindowExposed(&chart)); // the legend lays out its entries
        QVERIFY((*ogre)->isVisible());
        emit(*ogre)->clicked();
        QCoreApplication::processEvents();
        QVERIFY(!chart.LineVisible("Ogre"));
        QVERIFY((*ogre)->isVisible()); // still there to be clicked back
        // The chart follows the fight: the line stays hidden.
        chart.ShowChart(BuildDpsChart(b.tracker.Fights().at(0), b.Source().roster()));
        QVERIFY(!chart.LineVisible("Ogre"));
        QVERIFY(chart.LineVisible("You"));
        chart.ToggleLine("Ogre");
        QVERIFY(chart.LineVisible("Ogre"));
        // The value under the pointer: the 5 s average at that second.
        QCOMPARE(chart.PointText("You", 0.4), QString("You: 30 DPS at 0 s"));
    }

    void timeAxisNeverLaysOutThousandsOfTicks()
    {
        // Qt makes every tick at once: an evening-long fight briefly seen
        // with a short fight's step (or the other way round) froze the tab.
        Battle b;
        for (int second = 0; second <= 10000; second += 10)
            b.Damage(second, 1, 3, 30);
        b.Damage(10100, 1, 3, 30);
        b.Damage(10104, 1, 3, 30);
        b.now = At(20000);
        QCOMPARE(b.tracker.Fights().size(), size_t{2});
        DpsChartView chart;
        QValueAxis* axis = chart.TimeAxis();
        double mostTicks = 0;
        const auto count = [&] {
            mostTicks = std::max(mostTicks, (axis->max() - axis->min()) / axis->tickInterval());
        };
        connect(axis, &QValueAxis::rangeChanged, this, count);
        connect(axis, &QValueAxis::tickIntervalChanged, this, count);
        for (size_t fight : {0, 1, 0}) {
            chart.ShowChart(BuildDpsChart(b.tracker.Fights().at(fight), b.Source().roster()));
            QCOMPARE(axis->max(), fight == 0 ? 10000.0 : 4.0);
        }
        chart.Clear();
        QVERIFY2(mostTicks <= 20, qPrintable(QString::number(mostTicks)));
    }

    void targetsSortAndFilterByName()
    {
        Battle b;
        // AC from the rolls against each enemy; AB from its own rolls.
        b.tracker.OnAttack({At(0),
                            CharacterId(1),
                            CharacterId(3),
                            AttackOutcome::Hit,
                            true,
                            {15, 30, 45, false, 0}});
        b.tracker.OnAttack({At(0),
                            CharacterId(1),
                            CharacterId(4),
                            AttackOutcome::Hit,
                            true,
                            {5, 30, 35, false, 0}});
        b.tracker.OnAttack({At(0),
                            CharacterId(1),
                            CharacterId(5),
                            AttackOutcome::Hit,
                            true,
                            {10, 30, 40, false, 0}});
        b.tracker.OnAttack({At(1),
                            CharacterId(6),
                            CharacterId(1),
                            AttackOutcome::Miss,
                            true,
                            {5, 20, 25, false, 0}});
        b.tracker.OnSave({At(2), CharacterId(3), SaveTypeIndex(1), 1, 12, 30, true});
        TargetsTab tab;
        tab.SetSource(b.Source());
        tab.Refresh();
        QAbstractItemModelTester tester(tab.Proxy(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(Column(*tab.Proxy(), TargetNameColumn),
                 (QStringList{"Goblin", "Ogre", "Rat", "Wolf"}));
        QCOMPARE(tab.Model()->headerData(TargetFirstSaveColumn, Qt::Horizontal).toString(),
                 QString("Fort"));
        // Only the ogre's Fort save was seen: the other save columns hide.
        QVERIFY(!tab.View()->isColumnHidden(TargetFirstSaveColumn));
        QVERIFY(tab.View()->isColumnHidden(TargetFirstSaveColumn + 1));
        QVERIFY(tab.View()->isColumnHidden(TargetFirstSaveColumn + 3));
        tab.View()->sortByColumn(TargetAcColumn, Qt::DescendingOrder);
        QCOMPARE(Column(*tab.Proxy(), TargetNameColumn),
                 (QStringList{"Ogre", "Rat", "Goblin", "Wolf"})); // the wolf's AC is unknown
        QCOMPARE(tab.Caption()->text(), QString("4 targets"));

        tab.Filter()->setText("O"); // any case, anywhere in the name
        QCOMPARE(Column(*tab.Proxy(), TargetNameColumn), (QStringList{"Ogre", "Goblin", "Wolf"}));
        QCOMPARE(tab.Caption()->text(), QString("3 of 4 targets"));
        tab.Filter()->setText("ogre");
        QCOMPARE(Column(*tab.Proxy(), TargetFirstSaveColumn), (QStringList{"12"}));
        tab.Filter()->clear();
        QCOMPARE(tab.Proxy()->rowCount(), 4);
    }

    void selectedTargetShowsItsCardAndWhoDamagedIt()
    {
        Battle b;
        b.Damage(0, 1, 3, 30); // you, then your friend, hurt the ogre
        b.Damage(1, 2, 3, 10);
        b.Damage(1, 1, 3, 20);
        b.tracker.OnAttack({At(2),
                            CharacterId(1),
                            CharacterId(3),
                            AttackOutcome::Hit,
                            true,
                            {15, 30, 45, false, 0}});
        b.Damage(2, 1, 4, 5);
        TargetsTab tab;
        tab.SetSource(b.Source());
        tab.Refresh();
        QCOMPARE(tab.AttackerModel()->rowCount(), 0); // nothing chosen yet
        QVERIFY(tab.Card()->text().isEmpty());

        auto select = [&](const QString& name) {
            for (int row = 0; row < tab.Proxy()->rowCount(); ++row) {
                if (tab.Proxy()->index(row, TargetNameColumn).data().toString() == name)
                    tab.View()->selectRow(row);
            }
        };
        select("Ogre");
        QVERIFY(tab.Card()->text().startsWith("Ogre\n"));
        QVERIFY(tab.Card()->text().contains("?-45"));
        // You dealt 50 of its 60, your friend 10, from its first blow to its last 1 s later.
        QCOMPARE(tab.AttackerModel()->rowCount(), 2);
        const int you = tab.AttackerModel()->RowOf(1);
        QCOMPARE(tab.AttackerModel()->index(you, AttackerDamageColumn).data().toString(),
                 QString("50"));
        QCOMPARE(tab.AttackerModel()->index(you, AttackerShareColumn).data().toString(),
                 QString("83.3"));
        QCOMPARE(tab.AttackerModel()->index(you, AttackerDpsColumn).data().toString(),
                 QString("50"));

        select("Goblin");
        QCOMPARE(tab.AttackerModel()->rowCount(), 1);
        // A refresh keeps the choice and its table.
        b.Damage(3, 2, 4, 7);
        tab.Refresh();
        QVERIFY(tab.Card()->text().startsWith("Goblin\n"));
        QCOMPARE(tab.AttackerModel()->rowCount(), 2);
    }
};

QTEST_MAIN(FightViewsTest)
#include "FightViewsTest.moc"
