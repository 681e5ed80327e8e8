#pragma once

#include <QString>
#include <QStringList>

namespace tarvik {

class MainWindow;

// The demo session shipped in the "demo" folder beside the other shipped
// files, in name order; empty when it is not there.
QStringList DemoLogs(const QString& shippedDir);

// The logs the window opens with: those named on the command line, else on
// a player's first run the demo session. A first run also turns on the
// detection of the player's character and party, without which the fights
// show nobody's side.
QStringList FirstLogs(MainWindow& window, const QString& shippedDir, const QStringList& named);

// Shows and analyses the first logs; the demo says it is one.
void OpenFirstLogs(MainWindow& window, const QStringList& logs, bool demo);

} // namespace tarvik
