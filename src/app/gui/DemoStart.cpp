#include "DemoStart.h"

#include "MainWindow.h"

#include <QAction>
#include <QDir>

namespace tarvik {

QStringList DemoLogs(const QString& shippedDir)
{
    const QDir demo(QDir(shippedDir).filePath("demo"));
    QStringList logs;
    for (const QString& name : demo.entryList({"nwclientLog*.txt"}, QDir::Files, QDir::Name))
        logs << demo.absoluteFilePath(name);
    return logs;
}

QStringList FirstLogs(MainWindow& window, const QString& shippedDir, const QStringList& named)
{
    if (!window.FirstRun())
        return named;
    QAction* autodetect = window.Action("mnuMainOptionsAutoDetectCharParty");
    if (autodetect && !autodetect->isChecked())
        autodetect->trigger();
    return named.isEmpty() ? DemoLogs(shippedDir) : named;
}

void OpenFirstLogs(MainWindow& window, const QStringList& logs, bool demo)
{
    // The list shows one folder; the logs may come from several.
    window.SelectLogs(logs);
    window.AnalyzeFiles(logs);
    if (demo)
        window.NoteDemoSession(static_cast<int32_t>(logs.size()));
}

} // namespace tarvik
