// The part of every simulation driver that does not depend on its module.
// The driver program holds, in this order: the module, the bench runtime
// (Wires, Shown, kInputs, lastTaken, FindResetValues, DriveReset), the tables
// written for the module in namespace kestrom_bench (kModuleName, kHelloStart,
// kInputNames in kInputs' order, kShown, kStateWords, kHasReset,
// AppendNumber, Bind and StateCode), then this file. The protocol it answers
// is described in sim/Protocol.h.
#ifndef KESTROM_DRIVER_LOOP_H
#define KESTROM_DRIVER_LOOP_H

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace kestrom_driver {

using namespace kestrom_bench;

const sc_time kPeriod(10, SC_NS);

// One byte at a time, so that nothing past the line is taken from the pipe:
// a replay goes on reading the same input in a new program.
bool ReadLine(std::string& line) {
    line.clear();
    char c = 0;
    for (;;) {
        const ssize_t got = read(0, &c, 1);
        if (got == 1 && c == '\n') return true;
        if (got == 1) {
            line += c;
            continue;
        }
        if (got < 0 && errno == EINTR) continue;
        return !line.empty();
    }
}

bool InputWaiting() {
    pollfd input{0, POLLIN, 0};
    return poll(&input, 1, 0) > 0 && (input.revents & POLLIN);
}

bool ParseNumber(const std::string& text, std::uint64_t& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    if (text[0] == '-')
        value = static_cast<std::uint64_t>(std::strtoll(text.c_str(), &end, 10));
    else if (text[0] >= '0' && text[0] <= '9')
        value = std::strtoull(text.c_str(), &end, 10);
    else
        return false;
    return errno == 0 && *end == 0;
}

// What ends a run besides its limit.
struct Stops {
    std::uint64_t Limit = 0;
    std::vector<std::string> States;
    std::vector<long long> Taken;
    bool AnyTaken = false;
    bool Change = false;
};

// A set (Input: its index in kInputs) or a reset held (Input -1) from Cycle on.
struct Change {
    std::uint64_t Cycle;
    std::int64_t Input;
    std::uint64_t Value;
};

class Driver {
public:
    Driver(Wires& wires, KestromModule& dut, std::FILE* out)
        : wires_(wires), dut_(dut), out_(out), values_(kInputs.size(), 0) {}

    void Start() {
        sc_start(SC_ZERO_TIME);
        resetFound_ = kHasReset && FindResetValues(dut_, wires_, false, releasing_) &&
                      FindResetValues(dut_, wires_, true, holding_);
        Apply();
        sc_start(SC_ZERO_TIME);
    }

    void Hello() {
        std::fprintf(out_, "%s reset %s\n", kHelloStart, resetFound_ ? "yes" : "no");
        std::fflush(out_);
    }

    // Runs the recorded changes from the start up to cycle count - 1.
    void Replay(std::vector<Change> changes, std::uint64_t count) {
        changes_ = std::move(changes);
        std::size_t next = 0;
        while (cycle_ < count) {
            bool hold = false;
            for (; next < changes_.size() && changes_[next].Cycle <= cycle_; ++next) {
                const Change& change = changes_[next];
                if (change.Input < 0)
                    hold = true;
                else
                    values_[change.Input] = change.Value;
            }
            RunCycle(hold);
        }
        Report();
        Close("ok");
    }

    void Serve(char* program) {
        std::string line;
        for (;;) {
            if (!pending_.empty())
                line.swap(pending_), pending_.clear();
            else if (!ReadLine(line))
                return;
            if (!Command(line, program)) return;
        }
    }

private:
    void Apply() {
        for (std::size_t i = 0; i < kInputs.size(); ++i)
            kInputs[i].Write(wires_, values_[i]);
    }

    void RunCycle(bool holdReset) {
        Apply();
        if (holdReset && resetFound_) DriveReset(wires_, holding_);
        lastTaken = 0;
        sc_start(kPeriod);
        ++cycle_;
    }

    void Report() {
        line_ = "cycle ";
        AppendNumber(line_, cycle_ - 1, false);
        line_ += " state ";
        const long long code = StateCode(wires_);
        if (code >= 0 && static_cast<std::size_t>(code) < kStateWords.size())
            line_ += kStateWords[code];
        else {
            line_ += '?';
            AppendNumber(line_, code < 0 ? 0ULL - code : code, code < 0);
        }
        line_ += " taken ";
        AppendNumber(line_, lastTaken < 0 ? 0ULL - lastTaken : lastTaken, lastTaken < 0);
        AppendShown(shown_);
        line_ += shown_;
        line_ += '\n';
        std::fwrite(line_.data(), 1, line_.size(), out_);
    }

    void AppendShown(std::string& values) const {
        values.clear();
        for (const Shown& shown : kShown) {
            values += ' ';
            values += shown.Name;
            values += '=';
            shown.Append(values, wires_, dut_);
        }
    }

    void Close(const char* text, const std::string& detail = std::string()) {
        std::fprintf(out_, "%s%s%s\n", text, detail.empty() ? "" : " ", detail.c_str());
        std::fflush(out_);
    }

    bool Count(std::istringstream& words, std::uint64_t& n, bool optional) {
        std::string word;
        if (!(words >> word)) {
            n = 1;
            return optional;
        }
        return ParseNumber(word, n) && word[0] != '-';
    }

    bool Command(const std::string& line, char* program) {
        std::istringstream words(line);
        std::string verb, extra;
        words >> verb;
        if (verb == "quit") {
            Close("ok");
            return false;
        }
        if (verb == "set")
            Set(words);
        else if (verb == "step" || verb == "reset")
            Step(words, verb == "reset");
        else if (verb == "back")
            Back(words, program);
        else if (verb == "run")
            Run(words);
        // A stop that comes after its run ended is not answered.
        else if (verb == "stop")
            return true;
        else
            Close("error", "unknown command: " + verb);
        return true;
    }

    void Set(std::istringstream& words) {
        std::string name, text, extra;
        std::uint64_t value = 0;
        if (!(words >> name >> text) || (words >> extra) || !ParseNumber(text, value))
            return Close("error", "set takes an input and a decimal value");
        for (std::size_t i = 0; i < kInputNames.size(); ++i)
            if (name == kInputNames[i]) {
                values_[i] = value;
                changes_.push_back({cycle_, static_cast<std::int64_t>(i), value});
                return Close("ok");
            }
        Close("error", "no input " + name);
    }

    void Step(std::istringstream& words, bool reset) {
        std::uint64_t n = 1;
        if (!Count(words, n, true) || (reset && n != 1))
            return Close("error", reset ? "reset takes nothing" : "step takes a number of cycles");
        if (reset && !resetFound_)
            return Close("error", "the module has no reset that can be asserted");
        if (reset) changes_.push_back({cycle_, -1, 0});
        for (std::uint64_t i = 0; i < n; ++i) {
            RunCycle(reset);
            Report();
        }
        Close("ok");
    }

    bool Fail(const char* why) {
        Close("error", why);
        return false;
    }

    // run limit N [state NAME]... [taken ID|any]... [change]
    bool ReadStops(std::istringstream& words, Stops& stops) {
        const char* const shape = "run takes: limit N [state NAME]... [taken ID|any]... [change]";
        std::string word, value;
        if (!(words >> word) || word != "limit" || !Count(words, stops.Limit, false))
            return Fail(shape);
        while (words >> word) {
            if (word == "change") {
                stops.Change = true;
                continue;
            }
            if (!(words >> value)) return Fail(shape);
            std::uint64_t id = 0;
            if (word == "state")
                stops.States.push_back(value);
            else if (word == "taken" && value == "any")
                stops.AnyTaken = true;
            else if (word == "taken" && ParseNumber(value, id))
                stops.Taken.push_back(static_cast<long long>(id));
            else
                return Fail(shape);
        }
        return true;
    }

    bool Reached(const Stops& stops, const std::string& valuesBefore) const {
        const long long code = StateCode(wires_);
        if (code >= 0 && static_cast<std::size_t>(code) < kStateWords.size())
            for (const std::string& state : stops.States)
                if (state == kStateWords[code]) return true;
        if (lastTaken != 0 && stops.AnyTaken) return true;
        for (long long id : stops.Taken)
            if (id == lastTaken) return true;
        return stops.Change && valuesBefore != shown_;
    }

    void Run(std::istringstream& words) {
        Stops stops;
        if (!ReadStops(words, stops)) return;
        std::string before;
        AppendShown(shown_);
        for (std::uint64_t i = 0; i < stops.Limit; ++i) {
            before.swap(shown_);
            RunCycle(false);
            Report();
            if (Reached(stops, before)) return Close("ok", "reached");
            if ((i & 1023) == 1023 && pending_.empty() && InputWaiting() && ReadLine(pending_) &&
                pending_ == "stop") {
                pending_.clear();
                return Close("ok", "stopped");
            }
        }
        Close("ok", "limit");
    }

    // A simulation cannot be wound back: the program starts again on the
    // same input and output and replays the recorded inputs up to the cycle.
    void Back(std::istringstream& words, char* program) {
        std::uint64_t n = 1;
        if (!Count(words, n, true)) return Close("error", "back takes a number of cycles");
        if (n >= cycle_) return Close("error", "cannot go back before cycle 0");
        if (n == 0) {
            Report();
            return Close("ok");
        }
        const std::uint64_t count = cycle_ - n;
        std::vector<Change> kept;
        for (const Change& change : changes_)
            if (change.Cycle < count) kept.push_back(change);
        const int history = memfd_create("kestrom-history", 0);
        const std::size_t bytes = kept.size() * sizeof(Change);
        if (history < 0 || write(history, kept.data(), bytes) != static_cast<ssize_t>(bytes))
            return Close("error", std::string("cannot record the inputs: ") + std::strerror(errno));
        std::string fd = std::to_string(history), cycles = std::to_string(count);
        char* arguments[] = {program, const_cast<char*>("--replay"), &fd[0], &cycles[0], nullptr};
        std::fflush(out_);
        dup2(fileno(out_), 1);
        execv("/proc/self/exe", arguments);
        const int failure = errno;
        dup2(2, 1);
        close(history);
        Close("error", std::string("cannot go back: ") + std::strerror(failure));
    }

    Wires& wires_;
    KestromModule& dut_;
    std::FILE* out_;
    std::vector<std::uint64_t> values_;
    std::vector<Change> changes_;
    std::vector<std::uint64_t> holding_, releasing_;
    bool resetFound_ = false;
    std::uint64_t cycle_ = 0;
    std::string line_, shown_, pending_;
};

std::vector<Change> ReadHistory(int fd) {
    std::vector<Change> changes;
    Change change{};
    lseek(fd, 0, SEEK_SET);
    while (read(fd, &change, sizeof change) == static_cast<ssize_t>(sizeof change))
        changes.push_back(change);
    close(fd);
    return changes;
}

} // namespace kestrom_driver

int sc_main(int argc, char* argv[]) {
    using namespace kestrom_driver;
    sc_report_handler::set_actions(SC_INFO, SC_DO_NOTHING);
    // A fatal report of the module (an integer leaving its range) ends the
    // session as an error after the cycles before it have been reported.
    sc_report_handler::set_actions(SC_FATAL, SC_THROW);
    // Settling the inputs before the first edge moves no clock: no warning.
    sc_report_handler::set_actions("no activity or clock movement for sc_start() invocation",
                                   SC_DO_NOTHING);
    // What SystemC and the module print goes to standard error; standard
    // output carries the protocol only.
    const int protocol = fcntl(1, F_DUPFD_CLOEXEC, 3);
    dup2(2, 1);
    std::FILE* out = fdopen(protocol, "w");
    if (protocol < 0 || !out) return 3;
    std::setvbuf(out, nullptr, _IOFBF, 1 << 16);
    Wires wires;
    KestromModule dut(kModuleName);
    Bind(dut, wires);
    Driver driver(wires, dut, out);
    try {
        driver.Start();
        if (argc == 4 && std::strcmp(argv[1], "--replay") == 0)
            driver.Replay(ReadHistory(std::atoi(argv[2])), std::strtoull(argv[3], nullptr, 10));
        else
            driver.Hello();
        driver.Serve(argv[0]);
    } catch (const std::exception& failure) {
        // A module's own report says what went wrong without SystemC's file and process.
        const auto* report = dynamic_cast<const sc_core::sc_report*>(&failure);
        std::string message = report ? report->get_msg() : failure.what();
        for (char& c : message)
            if (c == '\n' || c == '\r') c = ' ';
        std::fprintf(out, "error the simulation stopped: %s\n", message.c_str());
        std::fflush(out);
        _exit(1);
    }
    std::fflush(out);
    _exit(0);
}

#endif // KESTROM_DRIVER_LOOP_H
