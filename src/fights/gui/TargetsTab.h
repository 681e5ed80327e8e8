#pragma once

#include "FightSource.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QTableView;

namespace tarvik {

class TableModel;
class TableProxy;

// Every enemy with what the rolls tell of it, sortable, filtered by name.
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

private:
    void UpdateCaption();

    FightSource source_;
    QLineEdit* filter_;
    QLabel* caption_;
    TableModel* model_;
    TableProxy* proxy_;
    QTableView* view_;
};

} // namespace tarvik
