// A running driver program and the protocol of sim/Protocol.h spoken with
// it. A driver that ends, stops answering or writes what the protocol does
// not know is a DriverError; the program is then ended and a new Driver can
// be started.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "sim/ChildProcess.h"
#include "sim/Protocol.h"

namespace kestrom::sim {

class DriverError : public Error {
public:
    explicit DriverError(std::string message)
        : Error(code::kSimulationError, "", 0, 0, std::move(message)) {}
};

struct Reply {
    bool Ok = false;
    std::string Detail; // after "ok" ("reached", "limit", "stopped") or the error's message
};

class Driver {
public:
    // Starts the program and reads its hello. Throws DriverError.
    explicit Driver(const std::string& program, int timeoutMs = 10000);
    ~Driver();

    const Hello& Greeting() const { return hello_; }

    // Sends one command; each cycle line is passed to onCycle as it comes.
    // Throws DriverError.
    Reply Command(const std::string& command,
                  const std::function<void(const CycleReport&)>& onCycle = {});
    // Asks a run in progress to stop (from another thread than Command's).
    void RequestStop();

    // Sends quit and waits for the program to end; Kill ends it at once.
    void Quit();
    void Kill();

private:
    [[noreturn]] void Fail(const std::string& why);
    std::string NextLine();

    std::unique_ptr<ChildProcess> process_;
    Hello hello_;
    int timeoutMs_;
};

} // namespace kestrom::sim
