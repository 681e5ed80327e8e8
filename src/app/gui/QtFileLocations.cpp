#include "QtFileLocations.h"

#include "util/FileUtil.h"

#include <QDir>
#include <QStandardPaths>

namespace tarvik {

namespace {

std::string Native(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdString();
}

std::string TarvikFolderIn(QStandardPaths::StandardLocation location)
{
    const QString base = QStandardPaths::writableLocation(location);
    return base.isEmpty() ? std::string() : Native(base + "/Tarvik");
}

} // namespace

FileLocations LocateProgramFiles(const QString& programDir, const QString& exeBaseName)
{
    FileLocationInputs inputs;
    inputs.programDir = Native(programDir);
    inputs.configName = exeBaseName.toStdString() + ".ini";
    inputs.programDirWritable = IsFolderWritable(inputs.programDir);
    inputs.userConfigDir = TarvikFolderIn(QStandardPaths::GenericConfigLocation);
    inputs.userDataDir = TarvikFolderIn(QStandardPaths::GenericDataLocation);
    return FileLocations::Decide(inputs);
}

std::vector<std::string> UserGameLogFolders()
{
    return GameLogFolders(Native(QDir::homePath()), Native(QStandardPaths::writableLocation(
                                                        QStandardPaths::DocumentsLocation)));
}

} // namespace tarvik
