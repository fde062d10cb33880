#include "ui/FileViews.h"

#include <algorithm>
#include <new>
#include <optional>
#include <stdexcept>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsItem>
#include <QMainWindow>
#include <QMdiArea>
#include <QTabBar>

#include "conversion/Generation.h"
#include "io/InputFile.h"
#include "ui/CodeWindow.h"
#include "ui/ConditionCheck.h"
#include "ui/DiagramScene.h"
#include "ui/DiagramView.h"
#include "ui/FileWatcher.h"
#include "ui/FormExtensions.h"
#include "ui/PictureExport.h"
#include "ui/PicturePainter.h"
#include "ui/ProblemsPanel.h"
#include "ui/ViewGeneration.h"
#include "ui/WindowMemory.h"

namespace kestrom::ui {
namespace {

using drawing::ObjectId;

constexpr int kProblemsHeight = 90;

QMdiSubWindow* AddChild(QMdiArea& workspace, QWidget* view, const QString& title) {
    QMdiSubWindow* child = workspace.addSubWindow(view);
    child->setObjectName(view->objectName() + "Window");
    child->setWindowTitle(title);
    child->setAttribute(Qt::WA_DeleteOnClose);
    child->show();
    return child;
}

// Diagnostics told twice (the file cannot be opened, say) are listed once.
void AddNew(Diagnostics& list, const Diagnostics& more) {
    for (const Diagnostic& diagnostic : more)
        if (std::find(list.begin(), list.end(), diagnostic) == list.end())
            list.push_back(diagnostic);
}

} // namespace

FileViews::FileViews(QMainWindow& main, QMdiArea& workspace, const QString& asfPath,
                     std::function<GenerationChoices()> choices)
    : workspace_(workspace), asfPath_(asfPath),
      localPath_(QFile::encodeName(asfPath).toStdString()), choices_(std::move(choices)),
      fileName_(QFileInfo(asfPath).fileName()) {
    // Each window fills the work area; the others are a tab away.
    workspace.setViewMode(QMdiArea::TabbedView);
    workspace.setDocumentMode(true);
    workspace.setTabsClosable(true);
    if (auto* tabs = workspace.findChild<QTabBar*>()) {
        tabs->setElideMode(Qt::ElideNone); // a title is never cut
        tabs->setUsesScrollButtons(true);
    }
    diagramWindows_[1] = AddDiagramWindow(1);
    Code(); // the code window, behind the diagram

    problems_ = new ProblemsPanel;
    problemsDock_ = new QDockWidget("Problems", &main);
    problemsDock_->setObjectName("ProblemsDock");
    problemsDock_->setFeatures(QDockWidget::NoDockWidgetFeatures);
    problemsDock_->setWidget(problems_);
    main.addDockWidget(Qt::BottomDockWidgetArea, problemsDock_);
    problemsDock_->show();
    // The diagram keeps most of the window.
    main.resizeDocks({problemsDock_}, {LoadProblemsHeight(kProblemsHeight)}, Qt::Vertical);
    connect(problems_, &ProblemsPanel::LineChosen, this, &FileViews::ShowLine);

    conditions_ = new ConditionCheck(this);
    connect(conditions_, &ConditionCheck::Finished, this, &FileViews::ShowAnalysed);

    watcher_ = new FileWatcher(asfPath, this);
    connect(watcher_, &FileWatcher::Changed, this, &FileViews::Refresh);
    connect(watcher_, &FileWatcher::Gone, this, &FileViews::ShowGone);

    Refresh();
    KeepMainTabsOpen();
    workspace.setActiveSubWindow(DiagramWindow(1));
}

FileViews::~FileViews() {
    if (problemsDock_ && problemsDock_->isVisible()) SaveProblemsHeight(problemsDock_->height());
    for (auto& [id, child] : diagramWindows_)
        if (child) child->close();
    if (codeWindow_) codeWindow_->close();
    delete problemsDock_.data();
    workspace_.setTabsClosable(false);
    workspace_.setViewMode(QMdiArea::SubWindowView);
}

// Only the tabs of sub-diagrams can be closed.
void FileViews::KeepMainTabsOpen() {
    auto* tabs = workspace_.findChild<QTabBar*>();
    if (!tabs) return;
    const QList<QMdiSubWindow*> windows = workspace_.subWindowList(QMdiArea::CreationOrder);
    for (int i = 0; i < windows.size() && i < tabs->count(); ++i)
        if (windows[i] == DiagramWindow(1) || windows[i] == codeWindow_)
            for (QTabBar::ButtonPosition side : {QTabBar::LeftSide, QTabBar::RightSide})
                if (QWidget* button = tabs->tabButton(i, side)) {
                    button->hide();
                    tabs->setTabButton(i, side, nullptr);
                }
}

QMdiSubWindow* FileViews::DiagramWindow(ObjectId diagram) const {
    const auto found = diagramWindows_.find(diagram);
    return found == diagramWindows_.end() ? nullptr : found->second.data();
}

// A window the user closed comes back when it is needed again.
CodeWindow* FileViews::Code() {
    if (!codeWindow_) {
        codeWindow_ = AddChild(workspace_, new CodeWindow, "Code - " + fileName_);
        KeepMainTabsOpen();
    }
    return static_cast<CodeWindow*>(codeWindow_->widget());
}

DiagramView* FileViews::Diagram(ObjectId diagram) const {
    QMdiSubWindow* child = DiagramWindow(diagram);
    return child ? qobject_cast<DiagramView*>(child->widget()) : nullptr;
}

Diagnostics FileViews::ReadDrawing() {
    auto drawn = std::make_unique<DrawnFile>();
    Diagnostics problems;
    try {
        drawn->Drawing = drawing::ReadDrawingFile(localPath_);
    } catch (const ConversionError& error) {
        problems.push_back({error.Line(), error.Message(), code::kAsfError});
    } catch (const std::bad_alloc&) {
        drawn->Drawing = {};
        problems.push_back({0, kNotEnoughMemory, code::kAsfError});
    }
    drawn->Drawing.Index();
    drawn->Machine = drawing::DescribeMachine(drawn->Drawing);
    AddNew(problems, drawn->Drawing.Problems);
    drawn_ = std::move(drawn);
    return problems;
}

void FileViews::Refresh() {
    // A FIFO or device put in the file's place would block every reader.
    try {
        RequireRegularInput(localPath_);
    } catch (const ConversionError& error) {
        conditions_->Cancel();
        problems_->Show(localPath_, {{error.Line(), error.Message(), code::kAsfError}}, {});
        Code()->Show(QByteArray());
        return;
    }
    const Diagnostics drawingProblems = ReadDrawing();
    const GenerationChoices choices = choices_();
    const ViewGeneration generation = GenerateForViews(localPath_, choices);
    const Diagnostics& errors = generation.Errors;
    Diagnostics warnings = generation.Warnings;
    AddNew(warnings, drawingProblems);
    for (const Diagnostic& error : errors)
        warnings.erase(std::remove(warnings.begin(), warnings.end(), error), warnings.end());
    problems_->Show(localPath_, errors, warnings);
    errorsShown_ = !errors.empty();
    moduleName_ = generation.ModuleName.empty() ? drawn_->Drawing.Entity : generation.ModuleName;
    auto drawing = std::make_shared<drawing::Drawing>(drawn_->Drawing);
    drawing->Index();
    conditions_->Start(std::move(drawing), localPath_, choices.Hdl);
    Code()->Show(QByteArray::fromStdString(generation.Code));
    for (auto& [id, child] : diagramWindows_)
        if (child || id == 1) ShowDiagram(id);
}

QMdiSubWindow* FileViews::AddDiagramWindow(ObjectId diagram) {
    auto* view = new DiagramView;
    connect(view, &DiagramView::ObjectDoubleClicked, this, &FileViews::OpenHierarchy);
    QString title = "Diagram - " + fileName_;
    if (diagram != 1) title += " - " + QString::fromStdString(OwnerName(diagram));
    QMdiSubWindow* child = AddChild(workspace_, view, title);
    KeepMainTabsOpen();
    return child;
}

// Builds the diagram's scene into its window, opening the window first.
void FileViews::ShowDiagram(ObjectId diagram) {
    if (!DiagramWindow(diagram)) diagramWindows_[diagram] = AddDiagramWindow(diagram);
    const drawing::Picture picture =
        drawing::BuildPicture(drawn_->Drawing, drawn_->Machine, diagram);
    Diagram(diagram)->SetScene(
        BuildDiagramScene(picture, drawn_->Machine.Find(diagram), PathOf(diagram)),
        SheetRect(picture));
}

void FileViews::OpenHierarchy(ObjectId objectId) {
    for (const drawing::DrawnDiagram& diagram : drawn_->Machine.Diagrams)
        for (const drawing::DrawnState& state : diagram.States)
            if (state.Object->Id == objectId && state.IsHierarchical)
                workspace_.setActiveSubWindow(OpenSubDiagram(state.SubDiagram));
}

QMdiSubWindow* FileViews::OpenSubDiagram(ObjectId diagram) {
    if (!DiagramWindow(diagram)) ShowDiagram(diagram);
    return DiagramWindow(diagram);
}

std::string FileViews::OwnerName(ObjectId diagram) const {
    const drawing::DrawnDiagram* sub = drawn_->Machine.Find(diagram);
    for (const drawing::DrawnDiagram& each : drawn_->Machine.Diagrams)
        for (const drawing::DrawnState& state : each.States)
            if (sub && state.Object->Id == sub->Owner) return state.Name;
    return std::to_string(diagram);
}

// The names of the states a sub-diagram lies in, outermost first, joined by
// dots as the flattened machine names its leaf states.
std::string FileViews::PathOf(ObjectId diagram) const {
    std::string path;
    for (int depth = 0; depth < 64 && diagram != 1; ++depth) {
        const drawing::DrawnDiagram* sub = drawn_->Machine.Find(diagram);
        if (!sub) break;
        const std::string owner = OwnerName(diagram);
        path = path.empty() ? owner : owner + "." + path;
        diagram = DiagramOf(sub->Owner);
    }
    return path;
}

ObjectId FileViews::DiagramOf(ObjectId objectId) const {
    const drawing::Drawing& drawing = drawn_->Drawing;
    // Parents lead up to the frame of a sub-diagram or to the top level.
    for (int depth = 0; depth < 64 && objectId != 0; ++depth) {
        const drawing::DrawnObject* object = drawing.Find(objectId);
        if (!object) break;
        if (object->Kind == drawing::ObjectKind::SubFrame) return object->Id;
        objectId = object->Parent;
    }
    return 1;
}

// Whether the diagram's picture has an item of the object; a sub-diagram is
// not opened to find out.
bool FileViews::Draws(ObjectId diagram, ObjectId id) const {
    if (DiagramWindow(diagram)) return Diagram(diagram)->ItemOf(id) != nullptr;
    const drawing::Picture picture =
        drawing::BuildPicture(drawn_->Drawing, drawn_->Machine, diagram);
    return std::any_of(picture.Items.begin(), picture.Items.end(),
                       [id](const drawing::PictureItem& item) { return item.Id == id; });
}

// The object a line is shown by: the line's own, or for a label,
// condition or action not drawn on its own, what it belongs to.
std::optional<FileViews::Shown> FileViews::ObjectAtLine(int line) {
    if (line <= 0 || !drawn_) return std::nullopt;
    for (const drawing::DrawnObject& object : drawn_->Drawing.Objects) {
        if (line < object.Line || line > object.LastLine) continue;
        for (ObjectId id : {object.Id, object.Parent}) {
            const ObjectId diagram = DiagramOf(id);
            if (!Draws(diagram, id) || !OpenSubDiagram(diagram)) continue;
            return Shown{diagram, id};
        }
        return std::nullopt;
    }
    return std::nullopt;
}

void FileViews::ShowLine(int line) {
    // The focus stays where the row was chosen.
    const QPointer<QWidget> focused = QApplication::focusWidget();
    const std::optional<Shown> shown = ObjectAtLine(line);
    if (!shown) return;
    workspace_.setActiveSubWindow(DiagramWindow(shown->Diagram)); // laid out before it is centred
    // (A view's focus would bring its own tab back.)
    if (focused && !workspace_.isAncestorOf(focused)) focused->setFocus(Qt::OtherFocusReason);
    DiagramView* view = Diagram(shown->Diagram);
    view->CentreOn(shown->Object);
    // The other transition of an overlap is selected beside it.
    for (int related : problems_->RelatedLinesOfChosen()) {
        const std::optional<Shown> other = ObjectAtLine(related);
        if (other && other->Diagram == shown->Diagram)
            view->ItemOf(other->Object)->setSelected(true);
    }
}

void FileViews::ShowAnalysed(const Diagnostics& analysed) {
    Diagnostics shown;
    for (const Diagnostic& diagnostic : analysed)
        // A file the generation refused has its error listed already.
        if (!(errorsShown_ && diagnostic.Level == Severity::Note && diagnostic.Line == 0 &&
              diagnostic.Code == code::kConditionNotDecided))
            shown.push_back(diagnostic);
    problems_->ShowAnalysed(shown);
}

void FileViews::ShowGone() {
    conditions_->Cancel();
    problems_->Show(localPath_, {Diagnostic{0, "the file is gone", code::kAsfError}}, {});
    Code()->Show(QByteArray());
}

QString FileViews::ModuleName() const {
    return QString::fromStdString(moduleName_);
}

bool FileViews::CodeShown() const {
    return codeWindow_ && workspace_.activeSubWindow() == codeWindow_;
}

std::optional<FileViews::Shown> FileViews::FindState(const QString& name, bool exact) const {
    std::vector<ObjectId> diagrams;
    for (const auto& [id, child] : diagramWindows_)
        if (child && child == workspace_.activeSubWindow()) diagrams.push_back(id);
    for (const drawing::DrawnDiagram& diagram : drawn_->Machine.Diagrams)
        diagrams.push_back(diagram.Id);
    for (ObjectId id : diagrams)
        if (const drawing::DrawnDiagram* diagram = drawn_->Machine.Find(id))
            for (const drawing::DrawnState& state : diagram->States) {
                const QString stateName = QString::fromStdString(state.Name);
                if (exact ? stateName.compare(name, Qt::CaseInsensitive) == 0
                          : stateName.contains(name, Qt::CaseInsensitive))
                    return Shown{id, state.Object->Id};
            }
    return std::nullopt;
}

bool FileViews::Find(const QString& text) {
    if (CodeShown()) return Code()->Find(text);
    if (!drawn_) return false;
    std::optional<Shown> found = FindState(text, true);
    if (!found) found = FindState(text, false);
    if (!found) return false;
    workspace_.setActiveSubWindow(OpenSubDiagram(found->Diagram));
    return Diagram(found->Diagram)->CentreOn(found->Object);
}

void FileViews::ExportPicture(const QString& path) const {
    const drawing::Picture picture = drawing::BuildPicture(drawn_->Drawing, drawn_->Machine, 1);
    WritePicture(picture, path);
}

} // namespace kestrom::ui
