// Tarvik: the main window. Logs named on the command line are analysed at once.
#include "DemoStart.h"
#include "MainWindow.h"
#include "QtFileLocations.h"
#include "QtSettingsStore.h"
#include "util/Clock.h"
#include "util/HeapPages.h"
#include "util/gui/AppIcon.h"
#include "util/gui/Dialogs.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

int main(int argc, char** argv)
{
    tarvik::PreferHugeHeapPages();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tarvik");
    QApplication::setWindowIcon(tarvik::AppIcon());

    tarvik::QtDialogs dialogs;
    tarvik::QtSettingsStore store;
    tarvik::SystemClock clock;
    tarvik::MainWindowEnvironment environment;
    environment.programDir = QCoreApplication::applicationDirPath();
    environment.exeBaseName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    environment.files = tarvik::LocateProgramFiles(environment.programDir, environment.exeBaseName);
    environment.gameLogFolders = tarvik::UserGameLogFolders();
    environment.optionsFile = store.FileName();
    environment.dialogs = &dialogs;
    environment.store = &store;
    environment.clock = &clock;

    tarvik::MainWindow window(environment);
    if (!window.Start())
        return 1;

    QStringList logs;
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        if (QFileInfo(argument).isFile())
            logs << QFileInfo(argument).absoluteFilePath();
    }
    const bool named = !logs.isEmpty();
    logs = tarvik::FirstLogs(window, QString::fromStdString(environment.files->shippedDir), logs);
    if (!logs.isEmpty()) {
        const bool demo = !named;
        QTimer::singleShot(0, &window,
                           [&window, logs, demo] { tarvik::OpenFirstLogs(window, logs, demo); });
    }
    return QApplication::exec();
}
