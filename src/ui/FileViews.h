// The views of the open file: the diagram window and the code window in the
// work area, the problems panel below it. They read the file on their own,
// follow it on disk and go with it when it is closed.
#pragma once

#include <functional>
#include <string>

#include <QDockWidget>
#include <QMdiSubWindow>
#include <QObject>
#include <QPointer>
#include <QString>

#include "model/FsmModel.h"

class QMainWindow;
class QMdiArea;

namespace kestrom::ui {

class CodeWindow;
class DiagramView;
class FileWatcher;
class ProblemsPanel;

class FileViews : public QObject {
    Q_OBJECT

public:
    // processKind says which process kind Generate would use now.
    FileViews(QMainWindow& main, QMdiArea& workspace, const QString& asfPath,
              std::function<Integer()> processKind);
    ~FileViews() override; // closes the windows

    // Reads the file as it now stands on disk into every view.
    void Refresh();

    // Writes the top-level diagram as SVG, or as PNG when the name ends in
    // ".png". Throws std::runtime_error naming the file and the reason.
    void ExportPicture(const QString& path) const;

    const QString& AsfPath() const { return asfPath_; }
    DiagramView* Diagram() const;
    CodeWindow* Code() const { return code_; }
    ProblemsPanel* Problems() const { return problems_; }
    QMdiSubWindow* DiagramWindow() const { return diagramWindow_; }
    QMdiSubWindow* CodeSubWindow() const { return codeWindow_; }

private:
    void ShowGone();
    void ShowLine(int line);

    QMdiArea& workspace_;
    QString asfPath_;
    std::string localPath_;
    std::function<Integer()> processKind_;
    QPointer<QMdiSubWindow> diagramWindow_;
    QPointer<QMdiSubWindow> codeWindow_;
    QPointer<QDockWidget> problemsDock_;
    CodeWindow* code_ = nullptr;
    ProblemsPanel* problems_ = nullptr;
    FileWatcher* watcher_ = nullptr;
};

} // namespace kestrom::ui
