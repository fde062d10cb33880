#include "sim/Driver.h"

namespace kestrom::sim {
namespace {

std::string Shortened(const std::string& line) {
    return line.size() > 80 ? line.substr(0, 77) + "..." : line;
}

} // namespace

Driver::Driver(const std::string& program, int timeoutMs) : timeoutMs_(timeoutMs) {
    ChildProcess::Options options;
    options.Environment.push_back("SYSTEMC_DISABLE_COPYRIGHT_MESSAGE=1");
    try {
        process_ = std::make_unique<ChildProcess>(std::vector<std::string>{program}, options);
    } catch (const ProcessError& error) {
        throw DriverError(error.what());
    }
    const std::string line = NextLine();
    const std::optional<Hello> hello = ParseHello(line);
    if (!hello) Fail("the driver began with '" + Shortened(line) + "', not its hello");
    if (hello->Version != kProtocolVersion)
        Fail("the driver speaks version " + std::to_string(hello->Version) +
             " of the protocol, not " + std::to_string(kProtocolVersion));
    hello_ = *hello;
}

Driver::~Driver() {
    Kill();
}

void Driver::Fail(const std::string& why) {
    Kill();
    throw DriverError(why);
}

std::string Driver::NextLine() {
    if (!process_) throw DriverError("the driver is not running");
    std::string line;
    switch (process_->ReadLine(line, timeoutMs_)) {
    case ChildProcess::Read::Line:
        return line;
    case ChildProcess::Read::Timeout:
        Fail("the driver gave no answer within " +
             (timeoutMs_ % 1000 ? std::to_string(timeoutMs_) + " ms"
                                : std::to_string(timeoutMs_ / 1000) + " s") +
             "; it was ended");
    case ChildProcess::Read::Ended:
        break;
    }
    const int status = process_->Wait();
    Fail("the driver ended (" + DescribeStatus(status) + ")");
}

Reply Driver::Command(const std::string& command,
                      const std::function<void(const CycleReport&)>& onCycle) {
    if (!process_) throw DriverError("the driver is not running");
    if (!process_->WriteLine(command)) NextLine(); // tells how it ended
    for (;;) {
        const std::string line = NextLine();
        if (line == "ok" || line.rfind("ok ", 0) == 0)
            return {true, line.size() > 3 ? line.substr(3) : std::string()};
        if (line.rfind(kStoppedPrefix, 0) == 0) Fail(line.substr(6));
        if (line.rfind("error ", 0) == 0) return {false, line.substr(6)};
        const std::optional<CycleReport> cycle = ParseCycle(line);
        if (!cycle) Fail("the driver wrote '" + Shortened(line) + "', which is no answer");
        if (onCycle) onCycle(*cycle);
    }
}

void Driver::RequestStop() {
    if (process_) process_->WriteLine("stop");
}

void Driver::Quit() {
    if (!process_) return;
    if (process_->WriteLine("quit")) {
        std::string line;
        process_->ReadLine(line, timeoutMs_);
    }
    Kill();
}

void Driver::Kill() {
    if (process_) process_->Kill();
    process_.reset();
}

} // namespace kestrom::sim
