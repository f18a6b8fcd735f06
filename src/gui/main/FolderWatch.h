#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

namespace quellstone::gui {

// Says when the entries of a folder change: a file added, removed or renamed
// there, by this program or any other. While the folder is missing it
// watches the nearest folder above it that exists, and takes the folder up
// again once it is made anew.
class FolderWatch : public QObject {
    Q_OBJECT
public:
    FolderWatch(QString folder, QObject* parent);
    static constexpr int kQuietMs = 250;

    // Whether the folder itself is watched (false while it is missing).
    [[nodiscard]] bool WatchingFolder() const;

signals:
    // Once the folder has been quiet for a moment (kQuietMs), however many
    // entries changed: a removal of a thousand files reads the folder once
    // at its end, not a thousand times on the way.
    void Changed();

private:
    // Watches the folder when it is there, else the nearest folder above it.
    void Arm();
    void SomethingChanged();

    QString folder_;
    QFileSystemWatcher watcher_;
    QTimer quiet_;
};

}  // namespace quellstone::gui
