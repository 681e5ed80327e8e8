#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

class QWidget;

namespace tarvik {

class Dialogs;
class Session;

// The main window's "Generate Report" and File > Export: asks where, writes
// the file whole or not at all, says which, and offers to open the report.
class ReportActions : public QObject {
    Q_OBJECT
public:
    // logs: the paths of the logs the session holds, when asked.
    ReportActions(Dialogs& dialogs, QWidget* window, std::function<const Session*()> session,
                  std::function<QStringList()> logs);

    // Each returns the file written; empty when cancelled or failed (the
    // player was told why).
    QString GenerateReport(const QString& folder);
    QString ExportJson(const QString& folder);
    QString ExportCsv(const QString& folder);

    // Opens the report in the browser; tests put their own here.
    std::function<bool(const QUrl&)> openUrl;

private:
    // Nothing to report until an analysis has read something.
    const Session* ReadySession();
    QString AskPath(const QString& title, const QString& folder, const QString& name,
                    const QString& filter, const QString& suffix);
    bool Write(const QString& path, const std::string& contents);
    std::vector<std::string> FileNames() const;

    Dialogs& dialogs_;
    QWidget* window_;
    std::function<const Session*()> session_;
    std::function<QStringList()> logs_;
};

} // namespace tarvik
