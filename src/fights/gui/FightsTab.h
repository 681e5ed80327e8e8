#pragma once

#include "FightSource.h"
#include "fights/FightViews.h"

#include <cstdint>
#include <vector>

#include <QWidget>

class QAction;
class QLabel;
class QTabWidget;
class QTableView;
class QTreeWidget;

namespace tarvik {

class DpsChartView;
class TableModel;
class TableProxy;

// The fights, newest first; below them the selected fights' characters (as
// one when several are selected), a character's breakdown, the damage chart
// and the deaths. The current fight is shown until the player picks another
// one or several; picking the newest alone follows the fights again.
class FightsTab : public QWidget {
    Q_OBJECT

public:
    explicit FightsTab(QWidget* parent = nullptr);

    void SetSource(FightSource source);
    // Every fight again: after an analysis, or when marks changed.
    void Refresh();
    // A monitoring tick: the newest fight and those begun since, and the
    // selected fights' details when they changed. Other rows stay untouched.
    void Update();
    void Clear();

    // The selected fight's index (the first when several are); -1 when none.
    int SelectedFight() const;
    // Every selected fight's index, oldest first.
    std::vector<int32_t> SelectedFights() const;
    // As if the player picked these rows.
    void SelectFight(int index);
    void SelectFights(const std::vector<int32_t>& indices);
    // True while the tab moves with the current fight.
    bool Following() const { return following_; }
    // The line "Copy Fight Summary" puts on the clipboard; empty without a fight.
    QString SummaryLine() const;
    void CopySummary();
    // As if the player picked this character's row; 0 clears the breakdown.
    void SelectCharacter(int32_t id);

    QTableView* FightsView() const { return fightsView_; }
    QTableView* CharactersView() const { return charactersView_; }
    TableModel* FightsModel() const { return fightsModel_; }
    TableModel* CharactersModel() const { return charactersModel_; }
    DpsChartView* Chart() const { return chart_; }
    QTreeWidget* Deaths() const { return deaths_; }
    QTreeWidget* Breakdown() const { return breakdown_; }
    QTabWidget* DetailTabs() const { return details_; }
    QLabel* Caption() const { return caption_; }
    QLabel* MarkHint() const { return markHint_; }
    QAction* CopyAction() const { return copy_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The fight the tab follows: -1 before the first.
    int32_t CurrentFight() const;
    void SelectRows(const std::vector<int32_t>& indices);
    void PlayerSelected();
    void FollowCurrent();
    void ShowSelectedFights(bool force);
    void ShowDeaths(const std::vector<const Fight*>& fights, const Roster& roster);
    void ShowBreakdown();
    void ClearDetails();
    void UpdateCaption(const Roster& roster);

    FightSource source_;
    QLabel* caption_;
    QLabel* markHint_;
    TableModel* fightsModel_;
    TableProxy* fightsProxy_;
    QTableView* fightsView_;
    QTabWidget* details_;
    TableModel* charactersModel_;
    TableProxy* charactersProxy_;
    QTableView* charactersView_;
    QTreeWidget* breakdown_;
    DpsChartView* chart_;
    QTreeWidget* deaths_;
    QAction* copy_;

    size_t known_ = 0;    // fights in the table
    int32_t dropped_ = 0; // fights no longer kept when the table was filled
    bool following_ = true;
    bool selecting_ = false; // the tab, not the player, changes the selection
    std::vector<int32_t> shownFights_;
    uint64_t shownSignature_ = 0;
    uint64_t shownSides_ = 0;
    size_t shownDeaths_ = 0;
    std::vector<FightCharacterRow> shownRows_;
};

} // namespace tarvik
