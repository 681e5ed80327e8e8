#include "DpsChartView.h"

#include "util/gui/QtText.h"

#include <algorithm>
#include <cmath>

#include <QChart>
#include <QLegend>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>

namespace tarvik {

namespace {

QPen LinePen(ChartLineKind kind, int opponent)
{
    static const QColor opponents[] = {QColor(200, 40, 40), QColor(230, 130, 0),
                                       QColor(140, 60, 160)};
    switch (kind) {
    case ChartLineKind::You:
        return QPen(QColor(20, 90, 220), 2.5);
    case ChartLineKind::Party:
        return QPen(QColor(30, 150, 60), 2);
    case ChartLineKind::Opponent:
        return QPen(opponents[opponent % 3], 1.5);
    case ChartLineKind::Taken:
        break;
    }
    QPen taken(QColor(90, 90, 90), 1.5);
    taken.setStyle(Qt::DashLine);
    return taken;
}

} // namespace

DpsChartView::DpsChartView(QWidget* parent)
    : QChartView(parent)
    , chart_(new QChart)
    , seconds_(new QValueAxis(chart_))
    , dps_(new QValueAxis(chart_))
{
    setObjectName("chartDps");
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chart_->setMargins(QMargins(4, 4, 4, 4));
    seconds_->setTitleText("Seconds into the fight");
    seconds_->setLabelFormat("%d");
    dps_->setTitleText("DPS, 5 s average");
    dps_->setLabelFormat("%d");
    chart_->addAxis(seconds_, Qt::AlignBottom);
    chart_->addAxis(dps_, Qt::AlignLeft);
    setChart(chart_);
    setRenderHint(QPainter::Antialiasing);
    setMinimumHeight(160);
    Clear();
}

void DpsChartView::Clear()
{
    chart_->removeAllSeries();
    seconds_->setRange(0, 10);
    dps_->setRange(0, 10);
    seconds_->applyNiceNumbers();
    dps_->applyNiceNumbers();
    chart_->setTitle("Select a fight above");
}

void DpsChartView::ShowChart(const DpsChart& chart)
{
    chart_->removeAllSeries();
    chart_->setTitle(chart.lines.empty() ? "Nobody on your side dealt or took damage" : "");
    double top = 1;
    int opponent = 0;
    for (const ChartLine& line : chart.lines) {
        auto* series = new QLineSeries(chart_);
        series->setName(ToQString(line.label));
        series->setPen(LinePen(line.kind, line.kind == ChartLineKind::Opponent ? opponent++ : 0));
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(line.average.size()));
        for (size_t i = 0; i < line.average.size(); ++i) {
            points.append(QPointF(static_cast<double>(i) * chart.bucketSeconds, line.average[i]));
            top = std::max(top, line.average[i]);
        }
        // A line needs two points; a short fight shows its dots.
        series->setPointsVisible(points.size() < 3);
        series->replace(points);
        chart_->addSeries(series);
        series->attachAxis(seconds_);
        series->attachAxis(dps_);
    }
    // At least 10 s and 10 DPS, so that the whole-number labels do not repeat.
    const double last = std::max(10.0, static_cast<double>(chart.points - 1) * chart.bucketSeconds);
    seconds_->setRange(0, last);
    dps_->setRange(0, std::max(10.0, std::ceil(top * 1.1)));
    seconds_->applyNiceNumbers();
    dps_->applyNiceNumbers();
}

int DpsChartView::LineCount() const
{
    return static_cast<int>(chart_->series().size());
}

} // namespace tarvik
