#include "ui/FileViews.h"

#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "ui/CodeWindow.h"
#include "ui/DiagramView.h"
#include "ui/FileWatcher.h"
#include "ui/ProblemsPanel.h"
#include "ui/ViewGeneration.h"

namespace kestrom::ui {
namespace {

QMdiSubWindow* AddChild(QMdiArea& workspace, QWidget* view, const QString& title) {
    QMdiSubWindow* child = workspace.addSubWindow(view);
    child->setObjectName(view->objectName() + "Window");
    child->setWindowTitle(title);
    child->setAttribute(Qt::WA_DeleteOnClose);
    child->show();
    return child;
}

} // namespace

FileViews::FileViews(QMainWindow& main, QMdiArea& workspace, const QString& asfPath,
                     std::function<Integer()> processKind)
    : QObject(&main), workspace_(workspace), asfPath_(asfPath),
      localPath_(QFile::encodeName(asfPath).toStdString()), processKind_(std::move(processKind)) {
    const QString name = QFileInfo(asfPath).fileName();
    // Each window fills the work area; the others are a tab away.
    workspace.setViewMode(QMdiArea::TabbedView);
    workspace.setDocumentMode(true);
    code_ = new CodeWindow;
    codeWindow_ = AddChild(workspace, code_, "Code - " + name);
    diagramWindow_ = AddChild(workspace, new DiagramView, "Diagram - " + name);

    problems_ = new ProblemsPanel;
    problemsDock_ = new QDockWidget("Problems", &main);
    problemsDock_->setObjectName("ProblemsDock");
    problemsDock_->setFeatures(QDockWidget::NoDockWidgetFeatures);
    problemsDock_->setWidget(problems_);
    main.addDockWidget(Qt::BottomDockWidgetArea, problemsDock_);
    problemsDock_->show();
    connect(problems_, &ProblemsPanel::LineChosen, this, &FileViews::ShowLine);

    watcher_ = new FileWatcher(asfPath, this);
    connect(watcher_, &FileWatcher::Changed, this, &FileViews::Refresh);
    connect(watcher_, &FileWatcher::Gone, this, &FileViews::ShowGone);

    Refresh();
    workspace.setActiveSubWindow(diagramWindow_);
}

FileViews::~FileViews() {
    for (QMdiSubWindow* child : {diagramWindow_.data(), codeWindow_.data()})
        if (child) child->close();
    delete problemsDock_.data();
    workspace_.setViewMode(QMdiArea::SubWindowView);
}

DiagramView* FileViews::Diagram() const {
    return diagramWindow_ ? qobject_cast<DiagramView*>(diagramWindow_->widget()) : nullptr;
}

void FileViews::Refresh() {
    const ViewGeneration generation = GenerateForViews(localPath_, processKind_());
    Diagnostics errors;
    if (generation.Error) errors.push_back(*generation.Error);
    problems_->Show(localPath_, errors, generation.Warnings);
    code_->Show(QByteArray::fromStdString(generation.Code));
}

void FileViews::ShowGone() {
    problems_->Show(localPath_, {Diagnostic{0, "the file is gone"}}, {});
    code_->Show(QByteArray());
}

void FileViews::ShowLine(int line) {
    (void)line;
}

} // namespace kestrom::ui

namespace kestrom::ui {

void FileViews::ExportPicture(const QString& path) const {
    throw std::runtime_error("cannot export " + QFile::encodeName(path).toStdString());
}

} // namespace kestrom::ui
