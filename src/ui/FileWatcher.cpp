#include "ui/FileWatcher.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>

namespace kestrom::ui {

bool FileWatcher::Signature::operator==(const Signature& other) const {
    return Exists == other.Exists && Inode == other.Inode && Size == other.Size &&
           ModifiedNanoseconds == other.ModifiedNanoseconds;
}

FileWatcher::Signature FileWatcher::Look(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) return {};
    return {true, static_cast<unsigned long long>(status.st_ino),
            static_cast<long long>(status.st_size),
            static_cast<long long>(status.st_mtim.tv_sec) * 1000000000LL + status.st_mtim.tv_nsec};
}

FileWatcher::FileWatcher(const QString& path, QObject* parent)
    : QObject(parent), path_(QFileInfo(path).absoluteFilePath()) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMilliseconds);
    connect(&settle_, &QTimer::timeout, this, &FileWatcher::Settle);
    const auto notice = [this] { settle_.start(); };
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, notice);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, notice);
    seen_ = Look(path_);
    watcher_.addPath(QFileInfo(path_).absolutePath());
    Watch();
}

void FileWatcher::Watch() {
    if (seen_.Exists && !watcher_.files().contains(path_)) watcher_.addPath(path_);
}

void FileWatcher::Settle() {
    const Signature now = Look(path_);
    if (now == seen_) return;
    seen_ = now;
    Watch();
    if (now.Exists)
        emit Changed();
    else
        emit Gone();
}

} // namespace kestrom::ui
