#pragma once

#include "fights/FightViews.h"

#include <QChartView>
#include <QSet>
#include <QString>

class QChart;
class QLineSeries;
class QValueAxis;

namespace tarvik {

// Damage per second over one fight: each line's moving average, seconds
// from the fight's start along the bottom, deaths marked on it. Clicking a
// legend entry hides or shows its line; hovering a line tells its value.
class DpsChartView : public QChartView {
    Q_OBJECT

public:
    explicit DpsChartView(QWidget* parent = nullptr);
    void ShowChart(const DpsChart& chart);
    // No chart, a text in its place.
    void Clear(const QString& title = "Select a fight above");

    // For tests: the lines (not the death marks), the axis, what a legend
    // click and a hover do.
    int LineCount() const;
    bool LineVisible(const QString& label) const;
    void ToggleLine(const QString& label);
    QString PointText(const QString& label, double seconds) const;
    QValueAxis* TimeAxis() const { return seconds_; }
    int DeathMarks() const;

private:
    void FitTimeAxis(double last, double step);
    void ShowTip(const QString& text);
    // Hides the lines the player hid and fits the DPS axis to the rest.
    void ApplyHidden();

    QChart* chart_;
    QValueAxis* seconds_;
    QValueAxis* dps_;
    DpsChart shown_;
    // Lines the player hid: they stay hidden as the chart follows the fight.
    QSet<QString> hidden_;
};

} // namespace tarvik
