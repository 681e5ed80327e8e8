#include "DpsChartView.h"

#include "util/gui/QtText.h"

#include <algorithm>
#include <cmath>

#include <QChart>
#include <QCursor>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QScatterSeries>
#include <QToolTip>
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

const QString DeathsName = "Deaths";

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
    seconds_->setTickType(QValueAxis::TicksDynamic);
    seconds_->setTickAnchor(0);
    dps_->setTitleText("DPS, 5 s average");
    dps_->setLabelFormat("%d");
    chart_->addAxis(seconds_, Qt::AlignBottom);
    chart_->addAxis(dps_, Qt::AlignLeft);
    setChart(chart_);
    setRenderHint(QPainter::Antialiasing);
    setMinimumHeight(160);
    Clear();
}

void DpsChartView::Clear(const QString& title)
{
    chart_->removeAllSeries();
    shown_ = {};
    FitTimeAxis(10, 2);
    dps_->setRange(0, 10);
    dps_->applyNiceNumbers();
    chart_->setTitle(title);
}

void DpsChartView::ShowChart(const DpsChart& chart)
{
    chart_->removeAllSeries();
    shown_ = chart;
    chart_->setTitle(chart.lines.empty() ? "Nobody on your side dealt or took damage" : "");
    int opponent = 0;
    for (const ChartLine& line : chart.lines) {
        auto* series = new QLineSeries(chart_);
        const QString label = ToQString(line.label);
        series->setName(label);
        series->setPen(LinePen(line.kind, line.kind == ChartLineKind::Opponent ? opponent++ : 0));
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(line.average.size()));
        for (size_t i = 0; i < line.average.size(); ++i)
            points.append(QPointF(static_cast<double>(i) * chart.bucketSeconds, line.average[i]));
        // A line needs two points; a short fight shows its dots.
        series->setPointsVisible(points.size() < 3);
        series->replace(points);
        chart_->addSeries(series);
        series->attachAxis(seconds_);
        series->attachAxis(dps_);
        connect(series, &QLineSeries::hovered, this,
                [this, label](const QPointF& point, bool state) {
                    if (state)
                        ShowTip(PointText(label, point.x()));
                    else
                        QToolTip::hideText();
                });
    }
    if (!chart.deaths.empty() && !chart.lines.empty()) {
        auto* deaths = new QScatterSeries(chart_);
        deaths->setName(DeathsName);
        deaths->setMarkerShape(QScatterSeries::MarkerShapeTriangle);
        deaths->setMarkerSize(16);
        deaths->setColor(QColor(200, 0, 0));
        deaths->setBorderColor(QColor(0, 0, 0));
        for (const ChartDeath& death : chart.deaths)
            deaths->append(static_cast<double>(death.seconds), 0);
        chart_->addSeries(deaths);
        deaths->attachAxis(seconds_);
        deaths->attachAxis(dps_);
        connect(deaths, &QScatterSeries::hovered, this, [this](const QPointF& point, bool state) {
            if (!state) {
                QToolTip::hideText();
                return;
            }
            QStringList texts;
            for (const ChartDeath& death : shown_.deaths) {
                if (std::abs(static_cast<double>(death.seconds) - point.x()) < 0.5)
                    texts << ToQString(DurationText(death.seconds) + ": " + death.text);
            }
            ShowTip(texts.join('\n'));
        });
    }
    for (QLegendMarker* marker : chart_->legend()->markers()) {
        const QString label = marker->series()->name();
        connect(marker, &QLegendMarker::clicked, this, [this, label] { ToggleLine(label); });
    }
    // The axis ends with the fight; ticks at round seconds.
    const double last = std::max<double>(1.0, static_cast<double>(chart.seconds));
    FitTimeAxis(last, NiceTickStep(last, 8));
    ApplyHidden();
}

void DpsChartView::FitTimeAxis(double last, double step)
{
    // Qt lays out a tick for every step of the range at once, so neither a
    // long range with the old short step nor the old long range with a short
    // step may be seen in between: a step past both ends first.
    seconds_->setTickInterval(std::max(seconds_->max(), last));
    seconds_->setRange(0, last);
    seconds_->setTickInterval(step);
}

void DpsChartView::ApplyHidden()
{
    double top = 1;
    for (const ChartLine& line : shown_.lines) {
        if (!hidden_.contains(ToQString(line.label))) {
            for (const double value : line.average)
                top = std::max(top, value);
        }
    }
    for (QAbstractSeries* series : chart_->series())
        series->setVisible(!hidden_.contains(series->name()));
    // A hidden line keeps its legend entry, faint, to be clicked back.
    for (QLegendMarker* marker : chart_->legend()->markers()) {
        marker->setVisible(true);
        QColor color = chart_->legend()->labelColor();
        if (hidden_.contains(marker->series()->name()))
            color.setAlpha(90);
        marker->setLabelBrush(color);
    }
    dps_->setRange(0, std::max(10.0, std::ceil(top * 1.1)));
    dps_->applyNiceNumbers();
}

void DpsChartView::ToggleLine(const QString& label)
{
    if (hidden_.contains(label))
        hidden_.remove(label);
    else
        hidden_.insert(label);
    ApplyHidden();
}

bool DpsChartView::LineVisible(const QString& label) const
{
    for (const QAbstractSeries* series : chart_->series()) {
        if (series->name() == label)
            return series->isVisible();
    }
    return false;
}

QString DpsChartView::PointText(const QString& label, double seconds) const
{
    const int32_t width = std::max(shown_.bucketSeconds, 1);
    for (const ChartLine& line : shown_.lines) {
        if (ToQString(line.label) != label || line.average.empty())
            continue;
        const double bucket = std::clamp(std::round(seconds / width), 0.0,
                                         static_cast<double>(line.average.size() - 1));
        return ToQString(
            ChartPointText(line.label, bucket * width, line.average[static_cast<size_t>(bucket)]));
    }
    return {};
}

void DpsChartView::ShowTip(const QString& text)
{
    if (!text.isEmpty())
        QToolTip::showText(QCursor::pos(), text, this);
}

int DpsChartView::LineCount() const
{
    int lines = 0;
    for (const QAbstractSeries* series : chart_->series())
        lines += series->type() == QAbstractSeries::SeriesTypeLine ? 1 : 0;
    return lines;
}

int DpsChartView::DeathMarks() const
{
    for (const QAbstractSeries* series : chart_->series()) {
        if (const auto* deaths = qobject_cast<const QScatterSeries*>(series))
            return static_cast<int>(deaths->count());
    }
    return 0;
}

} // namespace tarvik
