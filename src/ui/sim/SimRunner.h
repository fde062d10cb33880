// A simulation run for the window: the module generated and its driver
// built and started on a thread of their own, then commands queued to it one
// after the other. What happens comes back as signals on the window's thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include <QObject>
#include <QString>

#include "extensions/TestBench.h"
#include "sim/Controller.h"
#include "sim/SimGeneration.h"

class QThread;

namespace kestrom::ui {

// What the window shows of a simulation at one moment.
struct SimSnapshot {
    std::vector<sim::Controller::Row> Trace; // oldest first, the last cycle run at the end
    std::uint64_t CyclesRun = 0;
    std::map<std::string, std::uint64_t> StatesReached;
    std::map<int, std::uint64_t> TransitionsTaken;
    std::vector<std::string> Inputs; // as set now, decimal
    bool Running = false;            // a run goes on; more snapshots follow
};

struct SimStart {
    sim::SimRequest Request;
    Integer ProcessKind = kThreadProcess;
    std::string CacheRoot;                                   // empty: the per-user cache
    std::vector<std::pair<std::string, std::string>> Inputs; // set again once started
};

class SimRunner : public QObject {
    Q_OBJECT

public:
    explicit SimRunner(QObject* parent = nullptr);
    ~SimRunner() override; // ends the driver and the thread

    // Generates, builds and starts; Started or Failed follows.
    void Start(SimStart start);
    // Ends a build or a run in progress as soon as it can.
    void Cancel();
    bool Busy() const { return busy_ > 0; }
    bool Running() const { return started_; }

    void Set(const std::string& input, const std::string& value);
    void Step(std::uint64_t cycles);
    void Reset();
    void Back(std::uint64_t cycles);
    void Run(std::uint64_t limit, sim::RunUntil until);
    void SetBreakpoints(std::set<std::string> states, std::set<int> transitions);
    // Writes the stimuli table or the waveform; Saved or Failed follows.
    void SaveStimuli(const QString& path);
    void SaveWaveform(const QString& path);

signals:
    void Progress(const QString& doing);
    void Started(const sim::Hello& hello, const BenchDesign& bench, bool reused);
    void Updated(std::shared_ptr<const SimSnapshot> snapshot);
    void Done(const QString& note); // a command ended; the note says how when it matters
    void Failed(const QString& message, const QString& details);
    void Saved(const QString& what);

private:
    struct Worker;
    void Post(std::function<void(Worker&)> job);
    void Report(std::function<void()> onWindowThread);
    // Runs a command of the simulation, then shows where it is.
    void Command(std::function<QString(sim::Controller&)> command);
    void Save(const QString& path, const QString& what,
              std::function<QString(const sim::Controller&, std::ostream&)> write);

    QThread* thread_ = nullptr;
    QObject* context_ = nullptr; // lives on thread_: jobs run there
    std::shared_ptr<Worker> worker_;
    std::atomic<int> busy_{0};
    bool started_ = false;
};

} // namespace kestrom::ui
