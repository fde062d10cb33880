#include "sim/Controller.h"

#include "sim/InputValue.h"

namespace kestrom::sim {

Controller::Controller(std::unique_ptr<Driver> driver, BenchDesign bench)
    : driver_(std::move(driver)), bench_(std::move(bench)),
      inputs_(std::make_shared<std::vector<std::string>>(Greeting().Inputs.size(), "0")) {}

std::string Controller::Set(const std::string& input, const std::string& text) {
    const CheckedInput checked = CheckInputValue(Greeting(), input, text);
    if (!checked.Refusal.empty()) return checked.Refusal;
    if ((*inputs_)[checked.Index] == checked.Word) return {};
    const Reply reply = driver_->Command("set " + EscapeWord(input) + " " + checked.Word);
    if (!reply.Ok) throw DriverError(reply.Detail);
    auto changed = std::make_shared<std::vector<std::string>>(*inputs_);
    (*changed)[checked.Index] = checked.Word;
    inputs_ = std::move(changed);
    changes_.push_back({cyclesRun_, static_cast<int>(checked.Index), checked.Word});
    return {};
}

void Controller::Record(const CycleReport& report, bool reset) {
    auto shared = std::make_shared<TraceRow>();
    TraceRow& row = *shared;
    row.Cycle = report.Cycle;
    row.State = report.State;
    row.Taken = report.Taken;
    row.Reset = reset;
    row.Inputs = inputs_;
    row.Values.reserve(report.Values.size());
    for (const auto& [name, value] : report.Values)
        row.Values.push_back(value);
    cyclesRun_ = report.Cycle + 1;
    statesReached_.emplace(row.State, row.Cycle);
    if (row.Taken != 0) taken_.emplace(row.Taken, row.Cycle);
    if (trace_.size() == kTraceKept) trace_.pop_front();
    trace_.push_back(std::move(shared));
    if (listener_) listener_(*trace_.back());
}

void Controller::Send(const std::string& command, bool reset) {
    const Reply reply =
        driver_->Command(command, [&](const CycleReport& report) { Record(report, reset); });
    if (!reply.Ok) throw DriverError(reply.Detail);
}

void Controller::Step(std::uint64_t cycles) {
    Send("step " + std::to_string(cycles), false);
}

void Controller::Reset() {
    changes_.push_back({cyclesRun_, -1, {}});
    Send("reset", true);
}

// Going back to `kept` cycles: the rows from there on go, and the row of the
// cycle reached comes again from the driver.
void Controller::Forget(std::uint64_t kept) {
    while (!trace_.empty() && trace_.back()->Cycle + 1 >= kept)
        trace_.pop_back();
    while (!changes_.empty() && changes_.back().Cycle >= kept)
        changes_.pop_back();
    for (auto reached = statesReached_.begin(); reached != statesReached_.end();)
        reached = reached->second >= kept ? statesReached_.erase(reached) : std::next(reached);
    for (auto taken = taken_.begin(); taken != taken_.end();)
        taken = taken->second >= kept ? taken_.erase(taken) : std::next(taken);
}

void Controller::Back(std::uint64_t cycles) {
    if (cycles == 0 || cycles >= cyclesRun_) throw DriverError("cannot go back before cycle 0");
    const std::uint64_t kept = cyclesRun_ - cycles;
    Forget(kept);
    auto inputs = std::make_shared<std::vector<std::string>>(Greeting().Inputs.size(), "0");
    bool reset = false;
    for (const InputChange& change : changes_) {
        if (change.Input >= 0) (*inputs)[change.Input] = change.Word;
        if (change.Input < 0 && change.Cycle + 1 == kept) reset = true;
    }
    inputs_ = std::move(inputs);
    Send("back " + std::to_string(cycles), reset);
}

RunEnd Controller::Run(std::uint64_t limit, const RunUntil& until) {
    std::string command = "run limit " + std::to_string(limit);
    for (const std::string& state : stateBreaks_)
        command += " state " + EscapeWord(state);
    if (!until.State.empty()) command += " state " + EscapeWord(until.State);
    for (int id : transitionBreaks_)
        command += " taken " + std::to_string(id);
    if (until.AnyTaken) command += " taken any";
    if (until.Change) command += " change";
    const Reply reply = driver_->Command(command, [&](const CycleReport& r) { Record(r, false); });
    if (!reply.Ok) throw DriverError(reply.Detail);
    return reply.Detail == "reached"   ? RunEnd::Reached
           : reply.Detail == "stopped" ? RunEnd::Stopped
                                       : RunEnd::Limit;
}

void Controller::RequestStop() {
    std::lock_guard<std::mutex> hold(stopLock_);
    if (driver_) driver_->RequestStop();
}

void Controller::Quit() {
    std::lock_guard<std::mutex> hold(stopLock_);
    if (driver_) driver_->Quit();
}

} // namespace kestrom::sim
