#pragma once

#include <functional>

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>

namespace tarvik {

// Reads the followed log as soon as the game writes to it: the file system
// tells of a change to the log or of a new file in its folder, and one read
// follows however many changes came together. The monitoring timer stays as
// the fallback where no such notice comes (network folders).
class LogChangeWatch : public QObject {
    Q_OBJECT

public:
    explicit LogChangeWatch(std::function<void()> readNow, QObject* parent = nullptr);

    // The folder and, when not empty, the followed log in it; watched again
    // when the game replaced the file.
    void Watch(const QString& folder, const QString& logName);
    void Stop();
    // Off, nothing is watched and the monitoring timer alone reads.
    void SetEnabled(bool enabled);
    QStringList WatchedPaths() const;
    // Reads started by a notice.
    int Reads() const { return reads_; }

private:
    void Changed();

    std::function<void()> readNow_;
    QFileSystemWatcher watcher_;
    bool pending_ = false;
    bool enabled_ = true;
    int reads_ = 0;
};

} // namespace tarvik
