// What the window remembers between runs, kept beside the extension choices
// in the desktop's settings place: its geometry, the height of the problems
// panel and the files opened last.
#pragma once

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QStringList>

namespace kestrom::ui {

// The per-user store of every choice the windows keep.
QSettings ChoicesStore();

// Empty when none was stored.
QByteArray LoadWindowGeometry();
void SaveWindowGeometry(const QByteArray& geometry);

// The height the problems panel had when the last file was closed, or
// `otherwise` when none was stored.
int LoadProblemsHeight(int otherwise);
void SaveProblemsHeight(int height);

// Most recent first, at most kRecentFiles.
inline constexpr int kRecentFiles = 4;
QStringList LoadRecentFiles();
// Puts the path first, once.
void RememberRecentFile(const QString& path);

} // namespace kestrom::ui
