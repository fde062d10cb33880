// The views of the open file: the diagram window and the code window in the
// work area, the problems panel below it. They read the file on their own,
// follow it on disk and go with it when it is closed.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include <QDockWidget>
#include <QMdiSubWindow>
#include <QObject>
#include <QPointer>
#include <QString>

#include "base/Diagnostics.h"
#include "drawing/Picture.h"
#include "model/FsmModel.h"
#include "ui/ViewGeneration.h"

class QMainWindow;
class QMdiArea;

namespace kestrom::ui {

class CodeWindow;
class ConditionCheck;
class DiagramView;
class FileWatcher;
class ProblemsPanel;

class FileViews : public QObject {
    Q_OBJECT

public:
    // choices says what Generate would use now.
    FileViews(QMainWindow& main, QMdiArea& workspace, const QString& asfPath,
              std::function<GenerationChoices()> choices);
    ~FileViews() override; // closes the windows

    // Reads the file as it now stands on disk into every view.
    void Refresh();

    // Writes the top-level diagram as SVG, or as PNG when the name ends in
    // ".png". Throws std::runtime_error naming the file and the reason.
    void ExportPicture(const QString& path) const;

    const QString& AsfPath() const { return asfPath_; }
    // The module's name as the last reading found it: what Generate names
    // the module file after.
    QString ModuleName() const;
    // The top-level diagram, or the sub-diagram of a hierarchical state once
    // opened (by a double-click on the state).
    DiagramView* Diagram(drawing::ObjectId diagram = 1) const;
    QMdiSubWindow* OpenSubDiagram(drawing::ObjectId diagram);
    CodeWindow* Code();
    ProblemsPanel* Problems() const { return problems_; }
    QMdiSubWindow* DiagramWindow(drawing::ObjectId diagram = 1) const;
    QMdiSubWindow* CodeSubWindow() const { return codeWindow_; }
    // Analyses the conditions in the background after each load.
    ConditionCheck* Conditions() const { return conditions_; }
    // The code window is the tab shown.
    bool CodeShown() const;
    // In the code shown: the next place of the text after the selection,
    // selected. Else the state of that name (or, failing that, whose name
    // holds the text) in the diagram shown, then in the others: selected and
    // centred. False when there is none.
    bool Find(const QString& text);

private:
    struct DrawnFile {
        drawing::Drawing Drawing;
        drawing::DrawnMachine Machine;
    };

    struct Shown {
        drawing::ObjectId Diagram;
        drawing::ObjectId Object;
    };

    void ShowGone();
    void ShowLine(int line);
    std::optional<Shown> ObjectAtLine(int line);
    bool Draws(drawing::ObjectId diagram, drawing::ObjectId id) const;
    void ShowAnalysed(const Diagnostics& analysed);
    void ShowDiagram(drawing::ObjectId diagram);
    QMdiSubWindow* AddDiagramWindow(drawing::ObjectId diagram);
    void KeepMainTabsOpen();
    std::optional<Shown> FindState(const QString& name, bool exact) const;
    void OpenHierarchy(drawing::ObjectId objectId);
    Diagnostics ReadDrawing();
    drawing::ObjectId DiagramOf(drawing::ObjectId objectId) const;
    std::string OwnerName(drawing::ObjectId diagram) const;
    std::string PathOf(drawing::ObjectId diagram) const;

    QMdiArea& workspace_;
    QString asfPath_;
    std::string localPath_;
    std::function<GenerationChoices()> choices_;
    QString fileName_;
    std::unique_ptr<DrawnFile> drawn_;
    std::map<drawing::ObjectId, QPointer<QMdiSubWindow>> diagramWindows_;
    QPointer<QMdiSubWindow> codeWindow_;
    QPointer<QDockWidget> problemsDock_;
    ProblemsPanel* problems_ = nullptr;
    FileWatcher* watcher_ = nullptr;
    ConditionCheck* conditions_ = nullptr;
    bool errorsShown_ = false;
    std::string moduleName_;
};

} // namespace kestrom::ui
