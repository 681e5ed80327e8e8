#pragma once

#include "fights/FightViews.h"

#include <QChartView>

class QChart;
class QValueAxis;

namespace tarvik {

// Damage per second over one fight: each line's moving average, seconds
// from the fight's start along the bottom.
class DpsChartView : public QChartView {
    Q_OBJECT

public:
    explicit DpsChartView(QWidget* parent = nullptr);
    void ShowChart(const DpsChart& chart);
    void Clear();
    // The lines shown, for tests: label and points.
    int LineCount() const;

private:
    QChart* chart_;
    QValueAxis* seconds_;
    QValueAxis* dps_;
};

} // namespace tarvik
