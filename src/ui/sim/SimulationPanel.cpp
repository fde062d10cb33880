#include "ui/sim/SimulationPanel.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "sim/CompilerOutput.h"
#include "ui/Platform.h"
#include "ui/sim/SimInputs.h"
#include "ui/sim/TraceModel.h"
#include "ui/sim/WaveformStrip.h"

namespace kestrom::ui {
namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

const char* const kUntilChange = "@change";
const char* const kUntilTaken = "@taken";

QToolButton* ButtonOf(QAction* action) {
    auto* button = new QToolButton;
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

QString WithSuffix(const QString& path, const QString& suffix) {
    return QFileInfo(path).suffix().isEmpty() ? path + "." + suffix : path;
}

} // namespace

SimulationPanel::SimulationPanel(Platform& platform, QWidget* parent)
    : QWidget(parent), platform_(platform) {
    setObjectName("SimulationPanel");
    runner_ = new SimRunner(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(BuildControls());
    layout->addWidget(BuildViews(), 1);
    ConnectRunner();
    EnableCommands();
}

SimulationPanel::~SimulationPanel() = default;

QAction* SimulationPanel::AddAction(const QString& name, const QString& caption,
                                    const QKeySequence& keys, void (SimulationPanel::*command)()) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    if (!keys.isEmpty()) action->setToolTip(caption + " (" + keys.toString() + ")");
    connect(action, &QAction::triggered, this, command);
    addAction(action);
    return action;
}

QWidget* SimulationPanel::BuildControls() {
    auto* controls = new QWidget;
    auto* rows = new QVBoxLayout(controls);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* top = new QHBoxLayout;
    status_ = new QLabel("Not started");
    status_->setObjectName("SimulationStatus");
    progress_ = new QProgressBar;
    progress_->setRange(0, 0);
    progress_->setMaximumWidth(120);
    progress_->hide();
    cancel_ = new QPushButton("Cancel");
    cancel_->setObjectName("SimulationCancel");
    cancel_->hide();
    connect(cancel_, &QPushButton::clicked, this, [this] { runner_->Cancel(); });
    top->addWidget(status_, 1);
    top->addWidget(progress_);
    top->addWidget(cancel_);
    rows->addLayout(top);

    step_ = AddAction("SimStep", "Step", QKeySequence(Qt::Key_F10), &SimulationPanel::StepClicked);
    back_ = AddAction("SimBack", "Step Back", QKeySequence(Qt::SHIFT | Qt::Key_F10),
                      &SimulationPanel::BackClicked);
    reset_ = AddAction("SimReset", "Reset", QKeySequence(), &SimulationPanel::ResetClicked);
    run_ = AddAction("SimRun", "Run", QKeySequence(Qt::CTRL | Qt::Key_F5),
                     &SimulationPanel::RunClicked);
    stop_ = AddAction("SimStop", "Stop", QKeySequence(Qt::SHIFT | Qt::Key_F5),
                      &SimulationPanel::StopClicked);
    saveInputs_ = AddAction("SimSaveInputs", "Save Inputs\u2026", QKeySequence(),
                            &SimulationPanel::SaveInputs);
    saveWave_ = AddAction("SimSaveWaveform", "Save Waveform\u2026", QKeySequence(),
                          &SimulationPanel::SaveWaveform);
    runCycles_ = new QSpinBox;
    runCycles_->setObjectName("SimRunCycles");
    runCycles_->setRange(1, 1000000000);
    runCycles_->setValue(1000);
    runCycles_->setSuffix(" cycles");
    until_ = new QComboBox;
    until_->setObjectName("SimRunUntil");

    auto* buttons = new QHBoxLayout;
    for (QAction* action : {reset_, step_, back_})
        buttons->addWidget(ButtonOf(action));
    buttons->addSpacing(12);
    buttons->addWidget(ButtonOf(run_));
    buttons->addWidget(runCycles_);
    buttons->addWidget(new QLabel("or until"));
    buttons->addWidget(until_, 1);
    buttons->addWidget(ButtonOf(stop_));
    buttons->addSpacing(12);
    buttons->addWidget(ButtonOf(saveInputs_));
    buttons->addWidget(ButtonOf(saveWave_));
    rows->addLayout(buttons);

    auto* stale = new QHBoxLayout;
    staleNote_ = new QLabel("The file changed on disk: this module is out of date.");
    staleNote_->setObjectName("SimulationOutOfDate");
    staleNote_->setStyleSheet("color: #a04000");
    restart_ = new QPushButton("Rebuild and Restart");
    restart_->setObjectName("SimulationRestart");
    connect(restart_, &QPushButton::clicked, this, &SimulationPanel::RestartAsked);
    stale->addWidget(staleNote_, 1);
    stale->addWidget(restart_);
    staleNote_->hide();
    restart_->hide();
    rows->addLayout(stale);
    return controls;
}

QWidget* SimulationPanel::BuildViews() {
    auto* split = new QSplitter(Qt::Horizontal);
    auto* scroll = new QScrollArea;
    inputs_ = new SimInputs;
    scroll->setWidget(inputs_);
    scroll->setWidgetResizable(true);
    values_ = new QTableWidget(0, 2);
    values_->setObjectName("SimulationValues");
    values_->setHorizontalHeaderLabels({"Output or signal", "Value"});
    values_->horizontalHeader()->setStretchLastSection(true);
    values_->verticalHeader()->hide();
    values_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* side = new QSplitter(Qt::Vertical);
    side->addWidget(scroll);
    side->addWidget(values_);

    views_ = new QTabWidget;
    traceModel_ = new TraceModel(this);
    trace_ = new QTableView;
    trace_->setObjectName("SimulationTrace");
    trace_->setModel(traceModel_);
    trace_->verticalHeader()->hide();
    trace_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    trace_->verticalHeader()->setDefaultSectionSize(trace_->fontMetrics().height() + 4);
    trace_->horizontalHeader()->setStretchLastSection(true);
    waveform_ = new WaveformStrip;
    auto* waveScroll = new QScrollArea;
    waveScroll->setWidget(waveform_);
    waveScroll->setWidgetResizable(true);
    coverage_ = new QListWidget;
    coverage_->setObjectName("SimulationCoverage");
    views_->addTab(trace_, "Trace");
    views_->addTab(waveScroll, "Waveform");
    views_->addTab(coverage_, "Coverage");
    split->addWidget(side);
    split->addWidget(views_);
    split->setStretchFactor(1, 3);
    return split;
}

void SimulationPanel::ConnectRunner() {
    connect(runner_, &SimRunner::Progress, this, [this](const QString& doing) {
        SetStatus(doing + "\u2026");
        progress_->show();
        cancel_->show();
    });
    connect(runner_, &SimRunner::Started, this, &SimulationPanel::OnStarted);
    connect(runner_, &SimRunner::Updated, this, &SimulationPanel::OnUpdated);
    connect(runner_, &SimRunner::Failed, this, &SimulationPanel::OnFailed);
    connect(runner_, &SimRunner::Done, this, [this](const QString& note) {
        running_ = false;
        if (!note.isEmpty()) SetStatus(note + QString(" at cycle %1").arg(last_->CyclesRun - 1));
        EnableCommands();
    });
    connect(runner_, &SimRunner::Saved, this, &SimulationPanel::SetStatus);
    connect(inputs_, &SimInputs::ValueSet, runner_, &SimRunner::Set);
    connect(inputs_, &SimInputs::Refused, this, &SimulationPanel::SetStatus);
}

void SimulationPanel::Start(SimStart start) {
    if (last_)
        for (std::size_t i = 0; i < hello_.Inputs.size() && i < last_->Inputs.size(); ++i)
            start.Inputs.emplace_back(hello_.Inputs[i].Name, last_->Inputs[i]);
    asfPath_ = start.Request.AsfPath;
    outOfDate_ = false;
    staleNote_->hide();
    restart_->hide();
    last_.reset();
    runner_->Start(std::move(start));
    EnableCommands();
}

void SimulationPanel::OnStarted(const sim::Hello& hello, const BenchDesign& bench, bool reused) {
    hello_ = hello;
    bench_ = bench;
    progress_->hide();
    cancel_->hide();
    inputs_->SetDesign(hello, bench);
    traceModel_->SetDesign(hello, bench);
    waveform_->SetSignals(hello);
    until_->clear();
    until_->addItem("a breakpoint", QString());
    until_->addItem("any transition is taken", kUntilTaken);
    until_->addItem("an output changes", kUntilChange);
    for (const std::string& state : bench.States)
        until_->addItem("state " + Text(state), Text(state));
    SendBreakpoints();
    SetStatus(QString("%1 runs%2: Step (F10) runs one clock cycle")
                  .arg(Text(hello.Module), reused ? " (built before)" : ""));
    EnableCommands();
    if (isVisible()) inputs_->FocusFirst();
}

void SimulationPanel::OnUpdated(std::shared_ptr<const SimSnapshot> snapshot) {
    last_ = std::move(snapshot);
    inputs_->ShowValues(last_->Inputs);
    const bool atEnd = !trace_->verticalScrollBar() || trace_->verticalScrollBar()->value() >=
                                                           trace_->verticalScrollBar()->maximum();
    traceModel_->SetRows(last_->Trace);
    if (atEnd) trace_->scrollToBottom();
    waveform_->SetRows(last_->Trace);
    ShowValues();
    ShowCoverage();
    EmitLines();
    if (last_->Running)
        SetStatus(QString("Running: cycle %1").arg(last_->CyclesRun - 1));
    else if (!last_->Trace.empty() && !running_)
        SetStatus(QString("Cycle %1: state %2")
                      .arg(last_->CyclesRun - 1)
                      .arg(Text(last_->Trace.back()->State)));
    EnableCommands();
}

void SimulationPanel::OnFailed(const QString& message, const QString& details) {
    running_ = false;
    progress_->hide();
    cancel_->hide();
    SetStatus(message);
    const Diagnostics errors = sim::ErrorsOfFile(details.toStdString(), asfPath_);
    if (!errors.empty()) emit BuildErrors(errors);
    if (!details.isEmpty())
        platform_.ShowMessage(this, {message, "Simulation", MessageIcon::Error, details});
    EnableCommands();
}

void SimulationPanel::SetStatus(const QString& text) {
    status_->setText(text);
}

QString SimulationPanel::StatusText() const {
    return status_->text();
}

void SimulationPanel::EnableCommands() {
    const bool ready = runner_->Running() && !running_;
    for (QAction* action : {step_, run_, saveInputs_, saveWave_})
        action->setEnabled(ready);
    reset_->setEnabled(ready && hello_.HasReset);
    back_->setEnabled(ready && last_ && last_->CyclesRun > 1);
    stop_->setEnabled(running_);
    inputs_->setEnabled(runner_->Running());
}

void SimulationPanel::ShowValues() {
    std::vector<std::string> names;
    for (const auto* group : {&hello_.Outputs, &hello_.Internals})
        for (const sim::SignalInfo& signal : *group)
            names.push_back(signal.Name);
    values_->setRowCount(static_cast<int>(names.size()));
    const sim::TraceRow* row = last_->Trace.empty() ? nullptr : last_->Trace.back().get();
    for (int i = 0; i < int(names.size()); ++i) {
        const QString value = row && i < int(row->Values.size()) ? Text(row->Values[i]) : "";
        for (int column : {0, 1}) {
            QTableWidgetItem* item = values_->item(i, column);
            if (!item) values_->setItem(i, column, item = new QTableWidgetItem);
            item->setText(column == 0 ? Text(names[i]) : value);
        }
    }
}

void SimulationPanel::ShowCoverage() {
    coverage_->clear();
    const std::size_t states = bench_.States.size(), transitions = bench_.Transitions.size();
    coverage_->addItem(
        QString("States reached: %1 of %2").arg(last_->StatesReached.size()).arg(states));
    for (const std::string& state : bench_.States)
        if (!last_->StatesReached.count(state))
            coverage_->addItem("    not reached: " + Text(state));
    coverage_->addItem(QString("Transitions taken: %1 of %2")
                           .arg(last_->TransitionsTaken.size())
                           .arg(transitions));
    for (const BenchTransition& transition : bench_.Transitions)
        if (!last_->TransitionsTaken.count(transition.Id))
            coverage_->addItem("    not taken: " + Text(transition.Text));
}

void SimulationPanel::EmitLines() {
    SimLines lines;
    lines.Breakpoints.assign(breakLines_.begin(), breakLines_.end());
    if (last_ && !last_->Trace.empty()) {
        const sim::TraceRow& row = *last_->Trace.back();
        for (std::size_t s = 0; s < bench_.States.size() && s < bench_.StateLines.size(); ++s)
            if (bench_.States[s] == row.State) lines.Current.push_back(bench_.StateLines[s]);
        for (const BenchTransition& transition : bench_.Transitions)
            if (transition.Id == row.Taken) lines.Taken = transition.Lines;
    }
    emit LinesChanged(lines);
}

bool SimulationPanel::CanBreakAt(int line) const {
    for (int state : bench_.StateLines)
        if (state == line) return true;
    for (const BenchTransition& transition : bench_.Transitions)
        for (int drawn : transition.Lines)
            if (drawn == line) return true;
    return false;
}

bool SimulationPanel::BreakpointAt(int line) const {
    return breakLines_.count(line) > 0;
}

void SimulationPanel::ToggleBreakpointAt(int line) {
    if (!breakLines_.erase(line)) breakLines_.insert(line);
    SendBreakpoints();
    EmitLines();
}

void SimulationPanel::SendBreakpoints() {
    std::set<std::string> states;
    std::set<int> transitions;
    for (std::size_t s = 0; s < bench_.States.size() && s < bench_.StateLines.size(); ++s)
        if (breakLines_.count(bench_.StateLines[s])) states.insert(bench_.States[s]);
    for (const BenchTransition& transition : bench_.Transitions)
        for (int drawn : transition.Lines)
            if (breakLines_.count(drawn)) transitions.insert(transition.Id);
    runner_->SetBreakpoints(std::move(states), std::move(transitions));
}

void SimulationPanel::MarkOutOfDate() {
    if (outOfDate_ || !runner_->Running()) return;
    outOfDate_ = true;
    staleNote_->show();
    restart_->show();
}

void SimulationPanel::StepClicked() {
    if (!step_->isEnabled()) return;
    runner_->Step(1);
}

void SimulationPanel::BackClicked() {
    if (!back_->isEnabled()) return;
    back_->setEnabled(false); // until the cycle before is shown
    runner_->Back(1);
}

void SimulationPanel::RunClicked() {
    if (!run_->isEnabled()) return;
    sim::RunUntil until;
    const QString chosen = until_->currentData().toString();
    until.AnyTaken = chosen == kUntilTaken;
    until.Change = chosen == kUntilChange;
    if (!chosen.isEmpty() && !until.AnyTaken && !until.Change) until.State = chosen.toStdString();
    running_ = true;
    SetStatus("Running\u2026");
    EnableCommands();
    runner_->Run(static_cast<std::uint64_t>(runCycles_->value()), until);
}

void SimulationPanel::StopClicked() {
    if (running_) runner_->Cancel();
}

void SimulationPanel::ResetClicked() {
    if (reset_->isEnabled()) runner_->Reset();
}

void SimulationPanel::SaveInputs() {
    const std::optional<QString> path = platform_.ChooseSaveFile(
        this, {"Save Simulation Inputs", "Stimuli (*.csv)", savedStimuli_});
    if (!path) return;
    savedStimuli_ = WithSuffix(*path, "csv");
    runner_->SaveStimuli(savedStimuli_);
}

void SimulationPanel::SaveWaveform() {
    const std::optional<QString> path =
        platform_.ChooseSaveFile(this, {"Save Simulation Waveform", "VCD (*.vcd)", savedWave_});
    if (!path) return;
    savedWave_ = WithSuffix(*path, "vcd");
    runner_->SaveWaveform(savedWave_);
}

} // namespace kestrom::ui
