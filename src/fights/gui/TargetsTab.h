#pragma once

#include "FightSource.h"
#include "fights/TargetViews.h"

#include <vector>

#include <QWidget>

class QLabel;
class QLineEdit;
class QTableView;

namespace tarvik {

class TableModel;
class TableProxy;

// Every enemy with what the rolls tell of it, sortable, filtered by name;
// the selected one's card and who dealt how much damage to it below.
class TargetsTab : public QWidget {
    Q_OBJECT

public:
    explicit TargetsTab(QWidget* parent = nullptr);

    void SetSource(FightSource source);
    // Every target again, from the whole analysis.
    void Refresh();
    void Clear();

    QLineEdit* Filter() const { return filter_; }
    QTableView* View() const { return view_; }
    TableModel* Model() const { return model_; }
    TableProxy* Proxy() const { return proxy_; }
    QLabel* Caption() const { return caption_; }
    QLabel* Card() const { return card_; }
    TableModel* AttackerModel() const { return attackerModel_; }

private:
    void UpdateCaption();
    // The card and attackers of the selected target; empty without one.
    void ShowSelected();

    FightSource source_;
    QLineEdit* filter_;
    QLabel* caption_;
    TableModel* model_;
    TableProxy* proxy_;
    QTableView* view_;
    QLabel* card_;
    TableModel* attackerModel_;
    TableProxy* attackerProxy_;
    QTableView* attackerView_;
    std::vector<TargetRow> targets_;
};

} // namespace tarvik
