#include "LogChangeWatch.h"

#include <QDir>
#include <QFileInfo>

namespace tarvik {

LogChangeWatch::LogChangeWatch(std::function<void()> readNow, QObject* parent)
    : QObject(parent)
    , readNow_(std::move(readNow))
{
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &LogChangeWatch::Changed);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &LogChangeWatch::Changed);
}

void LogChangeWatch::Watch(const QString& folder, const QString& logName)
{
    QStringList wanted;
    if (enabled_ && !folder.isEmpty() && QFileInfo(folder).isDir()) {
        wanted << QDir::cleanPath(folder);
        if (!logName.isEmpty()) {
            const QString log = QDir(folder).filePath(logName);
            if (QFileInfo::exists(log))
                wanted << QDir::cleanPath(log);
        }
    }
    const QStringList watched = WatchedPaths();
    for (const QString& path : watched) {
        if (!wanted.contains(path))
            watcher_.removePath(path);
    }
    for (const QString& path : wanted) {
        if (!watched.contains(path))
            watcher_.addPath(path);
    }
}

void LogChangeWatch::Stop()
{
    const QStringList watched = WatchedPaths();
    if (!watched.isEmpty())
        watcher_.removePaths(watched);
}

void LogChangeWatch::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    if (!enabled)
        Stop();
}

QStringList LogChangeWatch::WatchedPaths() const
{
    return watcher_.directories() + watcher_.files();
}

void LogChangeWatch::Changed()
{
    // A burst of writes gives one read, once the event loop is free.
    if (pending_)
        return;
    pending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            pending_ = false;
            ++reads_;
            readNow_();
        },
        Qt::QueuedConnection);
}

} // namespace tarvik
