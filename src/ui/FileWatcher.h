// Tells when a file is written again or goes. Editors save by writing a new
// file and renaming it over the old one, which makes the file system forget
// the watched file: the folder is watched too, the file is watched again
// whenever it is back, and a burst of events settles into one signal.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

namespace kestrom::ui {

class FileWatcher : public QObject {
    Q_OBJECT

public:
    static constexpr int kSettleMilliseconds = 150;

    explicit FileWatcher(const QString& path, QObject* parent = nullptr);

    const QString& Path() const { return path_; }

signals:
    void Changed(); // the file on disk is not the one last seen
    void Gone();    // the file no longer exists

private:
    struct Signature {
        bool Exists = false;
        unsigned long long Inode = 0;
        long long Size = 0;
        long long ModifiedNanoseconds = 0;
        bool operator==(const Signature& other) const;
    };
    static Signature Look(const QString& path);
    void Watch();
    void Settle();

    QString path_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
    Signature seen_;
};

} // namespace kestrom::ui
