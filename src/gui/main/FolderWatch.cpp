#include "gui/main/FolderWatch.h"

#include <QDir>
#include <QFileInfo>

namespace quellstone::gui {

FolderWatch::FolderWatch(QString folder, QObject* parent)
    : QObject(parent), folder_(QDir::cleanPath(std::move(folder))) {
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { SomethingChanged(); });
    quiet_.setSingleShot(true);
    quiet_.setInterval(kQuietMs);
    connect(&quiet_, &QTimer::timeout, this, &FolderWatch::Changed);
    Arm();
}

bool FolderWatch::WatchingFolder() const {
    return watcher_.directories().contains(folder_);
}

void FolderWatch::Arm() {
    QString watched = folder_;
    while (!QFileInfo(watched).isDir()) {
        const QString above = QFileInfo(watched).path();
        if (above == watched) return;  // not even the root: nothing to watch
        watched = above;
    }
    const QStringList old = watcher_.directories();
    if (old == QStringList{watched}) return;
    if (!old.isEmpty()) watcher_.removePaths(old);
    // A folder that cannot be watched (no inotify left) only loses the live
    // updates: the list is still read whenever its frame is shown.
    [[maybe_unused]] const bool added = watcher_.addPath(watched);
}

void FolderWatch::SomethingChanged() {
    // The folder may have gone or come back: watch what is there now.
    Arm();
    // One notice for a burst (an archive, its record and their temporary files, or a whole removal).
    quiet_.start();
}

}  // namespace quellstone::gui
