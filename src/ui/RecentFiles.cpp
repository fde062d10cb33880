// The File menu's recent files and the files dropped on the main window:
// both open as a file named on the command line, through the first-line test.
#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include "ui/MDIFormMain.h"
#include "ui/WindowMemory.h"

namespace kestrom::ui {
namespace {

// The first local file among the dropped ones; empty for none.
QString DroppedFile(const QMimeData* data) {
    if (!data) return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) return url.toLocalFile();
    return {};
}

} // namespace

void MDIFormMain::ShowRecentFiles() {
    qDeleteAll(recentFiles_);
    recentFiles_.clear();
    delete recentLine_;
    recentLine_ = nullptr;
    const QStringList files = LoadRecentFiles();
    if (files.isEmpty()) return;
    recentLine_ = mnuFile_->addSeparator();
    recentLine_->setObjectName("lineRecent");
    for (int i = 0; i < files.size(); ++i) {
        QAction* item = mnuFile_->addAction(QString("&%1 %2").arg(i + 1).arg(files[i]));
        item->setObjectName(QString("mnuRecent%1").arg(i + 1));
        const QString path = files[i];
        connect(item, &QAction::triggered, this, [this, path] {
            if (FileCommandsOn()) OpenNamedFile(path);
        });
        recentFiles_ << item;
    }
}

bool MDIFormMain::FileCommandsOn() const {
    return mnuFile_->menuAction()->isEnabled();
}

void MDIFormMain::dragEnterEvent(QDragEnterEvent* event) {
    if (FileCommandsOn() && !DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MDIFormMain::dropEvent(QDropEvent* event) {
    const QString path = DroppedFile(event->mimeData());
    if (!FileCommandsOn() || path.isEmpty()) return;
    event->acceptProposedAction();
    OpenNamedFile(path);
}

} // namespace kestrom::ui
