// The Simulation panel: the open file's module built and run, its inputs
// set, the clock stepped, run and gone back; the trace, the waveform and the
// coverage so far; breakpoints on states and transitions by their ASF lines.
#pragma once

#include <memory>
#include <set>
#include <vector>

#include <QWidget>

#include "ui/sim/SimRunner.h"

class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableView;
class QTableWidget;
class QTabWidget;

namespace kestrom::ui {

class Platform;
class SimInputs;
class TraceModel;
class WaveformStrip;

// ASF lines to light in the diagram.
struct SimLines {
    std::vector<int> Current; // the state the machine is in
    std::vector<int> Taken;   // the drawn transitions of the one just taken
    std::vector<int> Breakpoints;
};

class SimulationPanel : public QWidget {
    Q_OBJECT

public:
    SimulationPanel(Platform& platform, QWidget* parent = nullptr);
    ~SimulationPanel() override;

    // Generates and builds the module and starts it; the inputs set before
    // are set again once it runs.
    void Start(SimStart start);
    // The file changed on disk: the module shown is out of date.
    void MarkOutOfDate();

    // Whether a state or a transition of the module is drawn at the line.
    bool CanBreakAt(int line) const;
    bool BreakpointAt(int line) const;
    void ToggleBreakpointAt(int line);

    bool Running() const { return runner_->Running(); }
    bool Busy() const { return runner_->Busy(); }
    const SimSnapshot* Last() const { return last_.get(); }
    QString StatusText() const;

    QAction* StepAction() const { return step_; }
    QAction* BackAction() const { return back_; }
    QAction* RunAction() const { return run_; }
    QAction* StopAction() const { return stop_; }
    QAction* ResetAction() const { return reset_; }
    SimInputs* Inputs() const { return inputs_; }
    QSpinBox* RunCycles() const { return runCycles_; }
    QComboBox* RunUntil() const { return until_; }
    SimRunner& Runner() const { return *runner_; }

signals:
    void LinesChanged(const SimLines& lines);
    void RestartAsked(); // the out-of-date module is to be built again
    // The compiler's errors about the diagram's own texts.
    void BuildErrors(const Diagnostics& errors);

private:
    QWidget* BuildControls();
    QWidget* BuildViews();
    QAction* AddAction(const QString& name, const QString& caption, const QKeySequence& keys,
                       void (SimulationPanel::*command)());
    void ConnectRunner();
    void OnStarted(const sim::Hello& hello, const BenchDesign& bench, bool reused);
    void OnUpdated(std::shared_ptr<const SimSnapshot> snapshot);
    void OnFailed(const QString& message, const QString& details);
    void SetStatus(const QString& text);
    void EnableCommands();
    void ShowValues();
    void ShowCoverage();
    void EmitLines();
    void SendBreakpoints();
    void SaveInputs();
    void SaveWaveform();

    void StepClicked();
    void BackClicked();
    void RunClicked();
    void StopClicked();
    void ResetClicked();

    Platform& platform_;
    SimRunner* runner_ = nullptr;
    std::shared_ptr<const SimSnapshot> last_;
    std::string asfPath_;
    sim::Hello hello_;
    BenchDesign bench_;
    std::set<int> breakLines_;
    bool outOfDate_ = false;
    bool running_ = false;

    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QLabel* staleNote_ = nullptr;
    QPushButton* restart_ = nullptr;
    QAction* step_ = nullptr;
    QAction* back_ = nullptr;
    QAction* run_ = nullptr;
    QAction* stop_ = nullptr;
    QAction* reset_ = nullptr;
    QAction* saveInputs_ = nullptr;
    QAction* saveWave_ = nullptr;
    QSpinBox* runCycles_ = nullptr;
    QComboBox* until_ = nullptr;
    SimInputs* inputs_ = nullptr;
    QTableWidget* values_ = nullptr;
    QTabWidget* views_ = nullptr;
    QTableView* trace_ = nullptr;
    TraceModel* traceModel_ = nullptr;
    WaveformStrip* waveform_ = nullptr;
    QListWidget* coverage_ = nullptr;
    QString savedStimuli_, savedWave_;
};

} // namespace kestrom::ui
