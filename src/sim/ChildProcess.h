// A program run beside this one with pipes to its standard input and output.
// The destructor ends it when it still runs: nothing is left behind.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

#include "base/Codes.h"
#include "base/Error.h"

namespace kestrom::sim {

class ProcessError : public Error {
public:
    explicit ProcessError(std::string message)
        : Error(code::kSimulationError, "", 0, 0, std::move(message)) {}
};

class ChildProcess {
public:
    struct Options {
        bool MergeErrors = false;             // its standard error into the output pipe, else ours
        std::vector<std::string> Environment; // NAME=VALUE added to ours
    };

    // Looks the program up in PATH when it has no '/'. Throws ProcessError
    // when it cannot be started (the message names it and why).
    ChildProcess(const std::vector<std::string>& arguments, const Options& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // False when the program no longer reads its input.
    bool WriteLine(const std::string& line);
    void CloseInput();

    enum class Read { Line, Timeout, Ended };
    // A line without its LF; at the end of the output a last unfinished line
    // comes as a line. A negative timeout waits as long as it takes.
    Read ReadLine(std::string& line, int timeoutMs);

    // Waits for the program to end: its exit status, or 128 + the signal
    // that ended it.
    int Wait();
    // Ends it at once (SIGKILL) and waits.
    void Kill();
    bool Running() const { return pid_ > 0; }

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string buffer_;
    bool ended_ = false;
    int status_ = 0;
};

// "exit status 1", "killed by signal 11".
std::string DescribeStatus(int status);

} // namespace kestrom::sim
