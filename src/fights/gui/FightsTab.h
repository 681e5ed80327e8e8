#pragma once

#include "FightSource.h"

#include <cstdint>

#include <QWidget>

class QLabel;
class QTabWidget;
class QTableView;
class QTreeWidget;

namespace tarvik {

class DpsChartView;
class TableModel;
class TableProxy;

// The fights, newest first; below them the selected fight's characters, its
// damage chart and its deaths.
class FightsTab : public QWidget {
    Q_OBJECT

public:
    explicit FightsTab(QWidget* parent = nullptr);

    void SetSource(FightSource source);
    // Every fight again: after an analysis, or when marks changed.
    void Refresh();
    // A monitoring tick: the newest fight and those begun since, and the
    // selected fight's details when they changed. Other rows stay untouched.
    void Update();
    void Clear();

    // The selected fight's index; -1 when none.
    int SelectedFight() const;
    void SelectFight(int index);

    QTableView* FightsView() const { return fightsView_; }
    QTableView* CharactersView() const { return charactersView_; }
    TableModel* FightsModel() const { return fightsModel_; }
    TableModel* CharactersModel() const { return charactersModel_; }
    DpsChartView* Chart() const { return chart_; }
    QTreeWidget* Deaths() const { return deaths_; }
    QTabWidget* DetailTabs() const { return details_; }
    QLabel* Caption() const { return caption_; }
    QLabel* MarkHint() const { return markHint_; }

private:
    void ShowSelectedFight(bool force);
    void ShowDeaths(const Fight& fight, const Roster& roster);
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
    DpsChartView* chart_;
    QTreeWidget* deaths_;

    size_t known_ = 0;    // fights in the table
    int32_t dropped_ = 0; // fights no longer kept when the table was filled
    int shownFight_ = -1;
    uint64_t shownSignature_ = 0;
    uint64_t shownSides_ = 0;
    size_t shownDeaths_ = 0;
};

} // namespace tarvik
