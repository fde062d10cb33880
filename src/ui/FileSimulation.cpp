// The open file's simulation: its panel docked beside the problems, the
// states and transitions it lights in every diagram window, and the
// breakpoints offered in a diagram's context menu.
#include <QMainWindow>
#include <QMenu>

#include "ui/DiagramView.h"
#include "ui/FileViews.h"
#include "ui/ProblemsPanel.h"
#include "ui/sim/SimulationPanel.h"

namespace kestrom::ui {

using drawing::ObjectId;

SimulationPanel* FileViews::Simulate(Platform& platform) {
    if (!simulation_) {
        simulation_ = new SimulationPanel(platform);
        simulationDock_ = new QDockWidget("Simulation", &main_);
        simulationDock_->setObjectName("SimulationDock");
        simulationDock_->setFeatures(QDockWidget::DockWidgetClosable);
        simulationDock_->setWidget(simulation_);
        main_.addDockWidget(Qt::BottomDockWidgetArea, simulationDock_);
        main_.tabifyDockWidget(problemsDock_, simulationDock_);
        connect(simulation_, &SimulationPanel::LinesChanged, this, &FileViews::ShowSimLines);
        connect(simulation_, &SimulationPanel::RestartAsked, this, &FileViews::StartSimulation);
        connect(simulation_, &SimulationPanel::BuildErrors, problems_, &ProblemsPanel::AddErrors);
    }
    simulationDock_->show();
    simulationDock_->raise();
    StartSimulation();
    return simulation_;
}

void FileViews::StartSimulation() {
    const GenerationChoices choices = choices_();
    SimStart start;
    start.Request.AsfPath = localPath_;
    start.Request.ShownName = localPath_;
    start.Request.Options = choices.Chosen;
    start.Request.Hdl = choices.Hdl;
    start.ProcessKind = choices.ProcessKind;
    simulation_->Start(std::move(start));
}

ObjectId FileViews::ObjectIdAtLine(int line) const {
    if (line <= 0 || !drawn_) return 0;
    for (const drawing::DrawnObject& object : drawn_->Drawing.Objects)
        if (object.Line == line) return object.Id;
    return 0;
}

// A state inside a sub-diagram lights the hierarchical states around it too,
// so the top-level diagram shows where the machine is.
void FileViews::ShowSimLines(const SimLines& lines) {
    marks_ = {};
    for (int line : lines.Current)
        for (ObjectId id = ObjectIdAtLine(line); id != 0;) {
            marks_.Current.insert(id);
            const drawing::DrawnDiagram* diagram = drawn_->Machine.Find(DiagramOf(id));
            id = diagram && diagram->Id != 1 && !marks_.Current.count(diagram->Owner)
                     ? diagram->Owner
                     : 0;
        }
    for (int line : lines.Taken)
        marks_.Taken.insert(ObjectIdAtLine(line));
    for (int line : lines.Breakpoints)
        marks_.Breakpoints.insert(ObjectIdAtLine(line));
    for (auto& [id, child] : diagramWindows_)
        if (child) ApplyMarks(id);
}

void FileViews::ApplyMarks(ObjectId diagram) {
    DiagramView* view = Diagram(diagram);
    if (view && view->scene()) ShowMarks(*view->scene(), marks_);
}

void FileViews::OfferBreakpoint(const QList<std::int64_t>& objectIds, const QPoint& globalPos) {
    if (!simulation_ || !drawn_) return;
    for (std::int64_t id : objectIds) {
        const drawing::DrawnObject* object = drawn_->Drawing.Find(id);
        if (!object || !simulation_->CanBreakAt(object->Line)) continue;
        const bool set = simulation_->BreakpointAt(object->Line);
        const bool state = object->Kind == drawing::ObjectKind::State;
        QMenu menu;
        QAction* toggle =
            menu.addAction(state ? "Break In This State" : "Break On This Transition");
        toggle->setObjectName("ToggleBreakpoint");
        toggle->setCheckable(true);
        toggle->setChecked(set);
        if (menu.exec(globalPos) == toggle) simulation_->ToggleBreakpointAt(object->Line);
        return;
    }
}

} // namespace kestrom::ui
