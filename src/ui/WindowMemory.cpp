#include "ui/WindowMemory.h"

namespace kestrom::ui {
namespace {

const char* const kGeometryKey = "Window/Geometry";
const char* const kProblemsHeightKey = "Window/ProblemsHeight";
const char* const kRecentFilesKey = "Window/RecentFiles";

} // namespace

QSettings ChoicesStore() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Kestrom", "Kestrom");
}

QByteArray LoadWindowGeometry() {
    return ChoicesStore().value(kGeometryKey).toByteArray();
}

void SaveWindowGeometry(const QByteArray& geometry) {
    ChoicesStore().setValue(kGeometryKey, geometry);
}

int LoadProblemsHeight(int otherwise) {
    bool stored = false;
    const int height = ChoicesStore().value(kProblemsHeightKey).toInt(&stored);
    return stored && height > 0 ? height : otherwise;
}

void SaveProblemsHeight(int height) {
    if (height > 0) ChoicesStore().setValue(kProblemsHeightKey, height);
}

QStringList LoadRecentFiles() {
    QStringList files = ChoicesStore().value(kRecentFilesKey).toStringList();
    files.removeAll(QString());
    return files.mid(0, kRecentFiles);
}

void RememberRecentFile(const QString& path) {
    QStringList files = LoadRecentFiles();
    files.removeAll(path);
    files.prepend(path);
    ChoicesStore().setValue(kRecentFilesKey, files.mid(0, kRecentFiles));
}

} // namespace kestrom::ui
