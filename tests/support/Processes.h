// Child processes: running a program or the batch tool with its output
// captured, and running a step as a user without privileges (file modes do
// not stop root) or under limits.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kestrom::test {

struct ProcessResult {
    int ExitCode = -1; // -1 when the process did not exit normally
    int Signal = 0;    // the signal that ended it, if one did
    std::string Out;
    std::string Err;
};

bool RunningAsRoot();

// The user id an unprivileged child runs as: this one when not root, nobody
// when root, or -1 when root has no such user to switch to.
int UnprivilegedUser();

// How a child process is set up before it runs its step or program.
struct ChildSetup {
    bool Unprivileged = false;   // give up root for UnprivilegedUser()
    long FileSizeLimit = -1;     // bytes a file may grow to, as on a full disk
    std::string WorkingDir;      // empty: this process's own; may exceed PATH_MAX
    std::string StandardOutput;  // file for standard output; empty: captured
    bool AppendToOutput = false; // open StandardOutput for appending, as >> does
    std::string StandardInput;   // file for standard input; empty: this process's
    long AddressSpaceLimit = -1; // bytes of memory the child may map
};

// True in a build under AddressSanitizer, which cannot run in little memory.
bool UnderAddressSanitizer();

// Runs a program with arguments in a child process set up as asked.
ProcessResult RunProgram(const std::vector<std::string>& argv, const ChildSetup& setup = {});

// The batch tool of this build, and a run of it.
std::string BatchTool();
ProcessResult RunBatchTool(const std::vector<std::string>& args, const ChildSetup& setup = {});

// Runs the batch tool and sends it signal as soon as it holds a file open
// in directory (its temporary output), then waits for it to end.
ProcessResult RunBatchToolSignalledWhileWriting(const std::vector<std::string>& args, int signal,
                                                const std::string& directory);

// Runs step in a child process set up as asked and returns the text the step
// returned (an error message, typically); an escaping exception gives
// "unexpected exception: " and its text. Fails the test when the child dies.
std::string RunInChild(const std::function<std::string()>& step, const ChildSetup& setup);

} // namespace kestrom::test
