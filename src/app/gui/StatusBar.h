#pragma once

#include <QLabel>
#include <QObject>

class QStatusBar;

namespace tarvik {

// A status-bar panel that reports clicks.
class StatusPanel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void Clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// The main window's status bar, its panels in order: the logs' first and
// last record dates ("Start", "End"), the fugue timers ("Fugue"), the
// monitoring switch ("Monitor") and a message ("Message").
class StatusBar : public QObject {
    Q_OBJECT

public:
    // Fills bar, which keeps the panels.
    explicit StatusBar(QStatusBar& bar);

    void SetMessage(const QString& text);
    QString Message() const;
    void SetDates(const QString& start, const QString& end);
    void ShowFugue(const QString& text, const QString& toolTip);
    // Sunk "ACTIVE" while monitoring, raised "INACTIVE" otherwise.
    void ShowMonitoring(bool on);
    // What a monitoring tick says of itself ("ACTIVE", "PAUSED").
    void SetMonitorText(const QString& text);

    StatusPanel* Panel(const QString& key) const;

signals:
    void MonitorClicked();

private:
    StatusPanel* start_;
    StatusPanel* end_;
    StatusPanel* fugue_;
    StatusPanel* monitor_;
    StatusPanel* message_;
};

} // namespace tarvik
