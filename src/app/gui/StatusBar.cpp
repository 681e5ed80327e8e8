#include "StatusBar.h"

#include <QStatusBar>

namespace tarvik {

namespace {

StatusPanel* AddPanel(QStatusBar& bar, const char* key, const char* text, const char* tip,
                      int stretch = 0)
{
    auto* panel = new StatusPanel(text, &bar);
    panel->setObjectName(key);
    panel->setToolTip(tip);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setMargin(2);
    bar.addWidget(panel, stretch);
    return panel;
}

} // namespace

void StatusPanel::mousePressEvent(QMouseEvent* event)
{
    QLabel::mousePressEvent(event);
    emit Clicked();
}

StatusBar::StatusBar(QStatusBar& bar)
    : QObject(&bar)
    , start_(AddPanel(bar, "Start", "  n/a  ", "This panel shows the logs' start time."))
    , end_(AddPanel(bar, "End", "  n/a  ", "This panel shows the logs' end time."))
    , fugue_(AddPanel(bar, "Fugue", "n/a", "Active fugue timers: 0"))
    , monitor_(AddPanel(bar, "Monitor", "INACTIVE",
                        "Click here to toggle the real-time log monitoring."))
    , message_(AddPanel(bar, "Message", "", "This panel displays status messages.", 1))
{
    bar.setObjectName("sbarMain");
    monitor_->setFrameShadow(QFrame::Raised);
    monitor_->setCursor(Qt::PointingHandCursor);
    connect(monitor_, &StatusPanel::Clicked, this, &StatusBar::MonitorClicked);
}

void StatusBar::SetMessage(const QString& text)
{
    message_->setText(text);
}

QString StatusBar::Message() const
{
    return message_->text();
}

void StatusBar::SetDates(const QString& start, const QString& end)
{
    start_->setText(start);
    end_->setText(end);
}

void StatusBar::ShowFugue(const QString& text, const QString& toolTip)
{
    fugue_->setText(text);
    fugue_->setToolTip(toolTip);
}

void StatusBar::ShowMonitoring(bool on)
{
    monitor_->setFrameShadow(on ? QFrame::Sunken : QFrame::Raised);
    monitor_->setText(on ? "ACTIVE" : "INACTIVE");
}

void StatusBar::SetMonitorText(const QString& text)
{
    monitor_->setText(text);
}

StatusPanel* StatusBar::Panel(const QString& key) const
{
    for (StatusPanel* panel : {start_, end_, fugue_, monitor_, message_}) {
        if (panel->objectName() == key)
            return panel;
    }
    return nullptr;
}

} // namespace tarvik
