// One simulation as an interactive front end runs it: the driver, the inputs
// set, the cycles seen (the last kTraceKept of them), breakpoints and the
// coverage so far. Every call but RequestStop comes from one thread.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "extensions/TestBench.h"
#include "sim/Driver.h"

namespace kestrom::sim {

constexpr std::size_t kTraceKept = 10000;

struct TraceRow {
    std::uint64_t Cycle = 0;
    std::string State;
    int Taken = 0;
    bool Reset = false;                                     // the reset was held at this edge
    std::shared_ptr<const std::vector<std::string>> Inputs; // hello's order, decimal
    std::vector<std::string> Values;                        // outputs then internals, decimal
};

// An input set or a reset held, from Cycle on.
struct InputChange {
    std::uint64_t Cycle = 0;
    int Input = -1; // in the hello's inputs; -1: the reset
    std::string Word;
};

// What ends a run besides its limit and the breakpoints.
struct RunUntil {
    std::string State; // empty: none
    bool AnyTaken = false;
    bool Change = false;
};

enum class RunEnd { Limit, Reached, Stopped };

class Controller {
public:
    Controller(std::unique_ptr<Driver> driver, BenchDesign bench);

    const Hello& Greeting() const { return driver_->Greeting(); }
    const BenchDesign& Bench() const { return bench_; }

    // The refusal, or empty when the value was set from the next cycle on.
    std::string Set(const std::string& input, const std::string& text);
    const std::vector<std::string>& InputWords() const { return *inputs_; }

    // Each throws DriverError; a refusal of the driver's is a DriverError too.
    void Step(std::uint64_t cycles);
    void Reset();
    void Back(std::uint64_t cycles);
    RunEnd Run(std::uint64_t limit, const RunUntil& until);
    // From any thread: a run in progress ends after its current batch.
    void RequestStop();
    // Called after every cycle line, on the calling thread.
    void OnCycle(std::function<void(const TraceRow&)> listener) { listener_ = std::move(listener); }

    std::set<std::string>& StateBreakpoints() { return stateBreaks_; }
    std::set<int>& TransitionBreakpoints() { return transitionBreaks_; }

    std::uint64_t CyclesRun() const { return cyclesRun_; }
    using Row = std::shared_ptr<const TraceRow>;
    const std::deque<Row>& Trace() const { return trace_; }
    const std::vector<InputChange>& Changes() const { return changes_; }
    // The first cycle each state was in and each transition taken.
    const std::map<std::string, std::uint64_t>& StatesReached() const { return statesReached_; }
    const std::map<int, std::uint64_t>& TransitionsTaken() const { return taken_; }

    void Quit();

private:
    void Send(const std::string& command, bool reset);
    void Record(const CycleReport& report, bool reset);
    void Forget(std::uint64_t kept);

    std::unique_ptr<Driver> driver_;
    std::mutex stopLock_;
    BenchDesign bench_;
    std::shared_ptr<const std::vector<std::string>> inputs_;
    std::vector<InputChange> changes_;
    std::deque<Row> trace_;
    std::map<std::string, std::uint64_t> statesReached_;
    std::map<int, std::uint64_t> taken_;
    std::set<std::string> stateBreaks_;
    std::set<int> transitionBreaks_;
    std::function<void(const TraceRow&)> listener_;
    std::uint64_t cyclesRun_ = 0;
};

} // namespace kestrom::sim
