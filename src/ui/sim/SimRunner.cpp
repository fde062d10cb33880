#include "ui/sim/SimRunner.h"

#include <mutex>
#include <sstream>

#include <QElapsedTimer>
#include <QThread>

#include "io/OutputFile.h"
#include "sim/Build.h"
#include "sim/Export.h"

namespace kestrom::ui {
namespace {

// How often a long run shows where it is.
constexpr qint64 kUpdateEveryMs = 200;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

std::string Listed(const Diagnostics& problems, const std::string& file) {
    std::string text;
    for (const Diagnostic& problem : problems)
        text += FormatDiagnostic(file, problem.Line,
                                 problem.Level == Severity::Error ? "error" : "warning",
                                 problem.Message) +
                "\n";
    return text;
}

} // namespace

struct SimRunner::Worker {
    std::atomic<bool> Cancel{false};
    std::mutex Lock; // guards Live for Cancel from the window's thread
    std::unique_ptr<sim::Controller> Simulation;
    sim::Controller* Live = nullptr;
    QElapsedTimer SinceUpdate;
};

SimRunner::SimRunner(QObject* parent) : QObject(parent), worker_(std::make_shared<Worker>()) {
    thread_ = new QThread(this);
    context_ = new QObject;
    context_->moveToThread(thread_);
    connect(thread_, &QThread::finished, context_, &QObject::deleteLater);
    thread_->start();
}

SimRunner::~SimRunner() {
    Cancel();
    Post([](Worker& worker) {
        if (worker.Simulation) worker.Simulation->Quit();
        std::lock_guard<std::mutex> hold(worker.Lock);
        worker.Live = nullptr;
        worker.Simulation.reset();
    });
    thread_->quit();
    thread_->wait();
}

void SimRunner::Post(std::function<void(Worker&)> job) {
    ++busy_;
    std::shared_ptr<Worker> worker = worker_;
    QMetaObject::invokeMethod(
        context_,
        [this, worker, job = std::move(job)] {
            try {
                job(*worker);
            } catch (const sim::DriverError& error) {
                {
                    std::lock_guard<std::mutex> hold(worker->Lock);
                    worker->Live = nullptr;
                }
                worker->Simulation.reset();
                const QString message = Text(error.what());
                Report([this, message] {
                    started_ = false;
                    emit Failed("The simulation stopped: " + message, {});
                });
            }
            --busy_;
        },
        Qt::QueuedConnection);
}

void SimRunner::Report(std::function<void()> onWindowThread) {
    QMetaObject::invokeMethod(this, std::move(onWindowThread), Qt::QueuedConnection);
}

namespace {

std::shared_ptr<const SimSnapshot> SnapshotOf(const sim::Controller& simulation, bool running) {
    auto snapshot = std::make_shared<SimSnapshot>();
    snapshot->Trace.assign(simulation.Trace().begin(), simulation.Trace().end());
    snapshot->CyclesRun = simulation.CyclesRun();
    snapshot->StatesReached = simulation.StatesReached();
    snapshot->TransitionsTaken = simulation.TransitionsTaken();
    snapshot->Inputs = simulation.InputWords();
    snapshot->Running = running;
    return snapshot;
}

} // namespace

void SimRunner::Start(SimStart start) {
    worker_->Cancel = false;
    Post([this, start = std::move(start)](Worker& worker) {
        if (worker.Simulation) worker.Simulation->Quit();
        worker.Simulation.reset();
        Report([this] { emit Progress("Generating the module"); });
        auto model = std::make_unique<FsmModel>();
        model->ProcessKind = start.ProcessKind;
        Diagnostics problems;
        std::optional<sim::SimDesign> design;
        try {
            design = sim::GenerateSimulation(start.Request, *model, problems);
        } catch (const Error& error) {
            const QString message = Text(error.what());
            return Report(
                [this, message] { emit Failed("The module cannot be generated", message); });
        }
        if (!design) {
            const QString listed = Text(Listed(problems, start.Request.ShownName));
            return Report(
                [this, listed] { emit Failed("The module cannot be generated", listed); });
        }
        sim::BuildSettings settings;
        settings.CacheRoot = start.CacheRoot;
        settings.Cancel = &worker.Cancel;
        settings.Progress = [this](const std::string& doing) {
            const QString text = Text(doing);
            Report([this, text] { emit Progress(text); });
        };
        sim::BuiltDriver built;
        try {
            built = sim::BuildDriver(*design, settings);
        } catch (const sim::BuildCancelled&) {
            return Report([this] { emit Failed("The build was cancelled", {}); });
        } catch (const sim::BuildError& error) {
            const QString message = Text(error.what()), output = Text(error.Output);
            return Report([this, message, output] { emit Failed(message, output); });
        }
        auto simulation = std::make_unique<sim::Controller>(
            std::make_unique<sim::Driver>(built.Program), design->Bench);
        for (const auto& [input, value] : start.Inputs)
            simulation->Set(input, value);
        simulation->OnCycle([this, &worker](const sim::TraceRow&) {
            if (worker.SinceUpdate.elapsed() < kUpdateEveryMs) return;
            worker.SinceUpdate.restart();
            auto snapshot = SnapshotOf(*worker.Simulation, true);
            Report([this, snapshot] { emit Updated(snapshot); });
        });
        {
            std::lock_guard<std::mutex> hold(worker.Lock);
            worker.Simulation = std::move(simulation);
            worker.Live = worker.Simulation.get();
        }
        const sim::Hello hello = worker.Simulation->Greeting();
        const BenchDesign bench = worker.Simulation->Bench();
        auto snapshot = SnapshotOf(*worker.Simulation, false);
        Report([this, hello, bench, reused = built.Reused, snapshot] {
            started_ = true;
            emit Started(hello, bench, reused);
            emit Updated(snapshot);
        });
    });
}

void SimRunner::Cancel() {
    worker_->Cancel = true;
    std::lock_guard<std::mutex> hold(worker_->Lock);
    if (worker_->Live) worker_->Live->RequestStop();
}

namespace {

QString EndNote(sim::RunEnd end) {
    switch (end) {
    case sim::RunEnd::Reached:
        return "Stopped where asked";
    case sim::RunEnd::Stopped:
        return "Stopped";
    case sim::RunEnd::Limit:
        break;
    }
    return "Ran the cycles asked";
}

} // namespace

void SimRunner::Set(const std::string& input, const std::string& value) {
    Post([this, input, value](Worker& worker) {
        if (!worker.Simulation) return;
        const std::string refused = worker.Simulation->Set(input, value);
        if (!refused.empty()) Report([this, text = Text(refused)] { emit Failed(text, {}); });
    });
}

void SimRunner::Command(std::function<QString(sim::Controller&)> command) {
    Post([this, command = std::move(command)](Worker& worker) {
        if (!worker.Simulation) return;
        worker.SinceUpdate.restart();
        const QString said = command(*worker.Simulation);
        auto snapshot = SnapshotOf(*worker.Simulation, false);
        Report([this, snapshot, said] {
            emit Updated(snapshot);
            emit Done(said);
        });
    });
}

void SimRunner::Step(std::uint64_t cycles) {
    Command([cycles](sim::Controller& simulation) {
        simulation.Step(cycles);
        return QString();
    });
}

void SimRunner::Reset() {
    Command([](sim::Controller& simulation) {
        simulation.Reset();
        return QString();
    });
}

void SimRunner::Back(std::uint64_t cycles) {
    Command([cycles](sim::Controller& simulation) {
        simulation.Back(cycles);
        return QString();
    });
}

void SimRunner::Run(std::uint64_t limit, sim::RunUntil until) {
    Command([limit, until](sim::Controller& simulation) {
        return EndNote(simulation.Run(limit, until));
    });
}

void SimRunner::SetBreakpoints(std::set<std::string> states, std::set<int> transitions) {
    Post([states, transitions](Worker& worker) {
        if (!worker.Simulation) return;
        worker.Simulation->StateBreakpoints() = states;
        worker.Simulation->TransitionBreakpoints() = transitions;
    });
}

void SimRunner::Save(const QString& path, const QString& what,
                     std::function<QString(const sim::Controller&, std::ostream&)> write) {
    Post([this, path, what, write = std::move(write)](Worker& worker) {
        if (!worker.Simulation) return;
        std::ostringstream text;
        const QString note = write(*worker.Simulation, text);
        try {
            ReplaceFileContent(path.toStdString(), text.str());
        } catch (const Error& error) {
            return Report([this, message = Text(error.what())] { emit Failed(message, {}); });
        }
        Report([this, said = "Saved " + what + " to " + path + note] { emit Saved(said); });
    });
}

void SimRunner::SaveStimuli(const QString& path) {
    Save(path, "the inputs", [](const sim::Controller& simulation, std::ostream& out) {
        const std::size_t resets = sim::WriteStimuli(simulation, out);
        return resets ? QString(" (%1 reset presses left out)").arg(resets) : QString();
    });
}

void SimRunner::SaveWaveform(const QString& path) {
    Save(path, "the waveform", [](const sim::Controller& simulation, std::ostream& out) {
        sim::WriteVcd(simulation, out);
        return QString();
    });
}

} // namespace kestrom::ui
