#include "support/Processes.h"

#include "support/Files.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <pwd.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace kestrom::test {
namespace fs = std::filesystem;

namespace {

[[noreturn]] void Broken(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

bool DropPrivileges(int user) {
    if (!RunningAsRoot()) return true;
    if (user < 0) return false;
    const auto id = static_cast<uid_t>(user);
    return ::setgroups(0, nullptr) == 0 && ::setgid(id) == 0 && ::setuid(id) == 0;
}

} // namespace

bool RunningAsRoot() {
    return ::geteuid() == 0;
}

int UnprivilegedUser() {
    if (!RunningAsRoot()) return static_cast<int>(::geteuid());
    const passwd* nobody = ::getpwnam("nobody");
    return nobody ? static_cast<int>(nobody->pw_uid) : -1;
}

namespace {

// One component at a time, so that a path longer than PATH_MAX works.
bool ChangeDirectory(const std::string& path) {
    if (!path.empty() && path[0] == '/' && ::chdir("/") != 0) return false;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(start, end - start);
        if (!part.empty() && ::chdir(part.c_str()) != 0) return false;
        start = end + 1;
    }
    return true;
}

// Called in the child only; false when the setup cannot be made.
bool ApplySetup(const ChildSetup& setup) {
    if (!setup.WorkingDir.empty() && !ChangeDirectory(setup.WorkingDir)) return false;
    if (setup.AddressSpaceLimit >= 0) {
        const rlimit limit{static_cast<rlim_t>(setup.AddressSpaceLimit),
                           static_cast<rlim_t>(setup.AddressSpaceLimit)};
        if (::setrlimit(RLIMIT_AS, &limit) != 0) return false;
    }
    if (setup.FileSizeLimit >= 0) {
        ::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG
        const rlimit limit{static_cast<rlim_t>(setup.FileSizeLimit),
                           static_cast<rlim_t>(setup.FileSizeLimit)};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return false;
    }
    return !setup.Unprivileged || DropPrivileges(UnprivilegedUser());
}

ProcessResult WaitForEnd(pid_t child) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0)
        if (errno != EINTR) Broken("waitpid");
    ProcessResult result;
    result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.Signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return result;
}

int WaitFor(pid_t child) {
    return WaitForEnd(child).ExitCode;
}

// Looks without reaping it.
bool HasEnded(pid_t child) {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == child;
}

// True once the process holds a descriptor on a file in directory.
bool HoldsFileIn(pid_t process, const std::string& directory) {
    std::error_code error;
    const std::string fds = "/proc/" + std::to_string(process) + "/fd";
    for (const auto& entry : fs::directory_iterator(fds, error)) {
        const std::string target = fs::read_symlink(entry.path(), error).string();
        if (!error && target.rfind(directory + "/", 0) == 0) return true;
    }
    return false;
}

void WriteAllTo(int fd, const std::string& text) {
    const char* data = text.data();
    for (size_t left = text.size(); left > 0;) {
        const ssize_t written = ::write(fd, data, left);
        if (written <= 0) return;
        data += written;
        left -= static_cast<size_t>(written);
    }
}

} // namespace

namespace {

// Starts argv with standard output and error going to out and err.
pid_t StartProgram(const std::vector<std::string>& argv, const ChildSetup& setup,
                   const std::string& out, const std::string& err) {
    const pid_t child = ::fork();
    if (child < 0) Broken("fork");
    if (child == 0) {
        const int outFd = ::open(
            out.c_str(), O_WRONLY | O_CREAT | (setup.AppendToOutput ? O_APPEND : O_TRUNC), 0666);
        const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (outFd < 0 || errFd < 0 || ::dup2(outFd, 1) < 0 || ::dup2(errFd, 2) < 0) ::_exit(126);
        // A program started in the background inherits some signals ignored.
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE})
            ::signal(signal, SIG_DFL);
        if (!setup.StandardInput.empty()) {
            const int inFd = ::open(setup.StandardInput.c_str(), O_RDONLY);
            if (inFd < 0 || ::dup2(inFd, 0) < 0) ::_exit(126);
        }
        if (!ApplySetup(setup)) ::_exit(126);
        std::vector<char*> args;
        for (const auto& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    return child;
}

} // namespace

ProcessResult RunProgram(const std::vector<std::string>& argv, const ChildSetup& setup) {
    TempDir capture;
    const std::string out = setup.StandardOutput.empty() ? capture / "out" : setup.StandardOutput;
    const std::string err = capture / "err";
    ProcessResult result = WaitForEnd(StartProgram(argv, setup, out, err));
    if (setup.StandardOutput.empty()) result.Out = ReadFileBytes(out);
    result.Err = ReadFileBytes(err);
    return result;
}

ProcessResult RunBatchToolSignalledWhileWriting(const std::vector<std::string>& args, int signal,
                                                const std::string& directory) {
    TempDir capture;
    std::vector<std::string> argv{BatchTool()};
    argv.insert(argv.end(), args.begin(), args.end());
    const pid_t child = StartProgram(argv, {}, capture / "out", capture / "err");
    while (!HoldsFileIn(child, directory) && !HasEnded(child)) {
    }
    ::kill(child, signal);
    ProcessResult result = WaitForEnd(child);
    result.Err = ReadFileBytes(capture / "err");
    return result;
}

bool UnderAddressSanitizer() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#endif
#endif
    return false;
}

std::string BatchTool() {
    return KESTROM_GEN;
}

ProcessResult RunBatchTool(const std::vector<std::string>& args, const ChildSetup& setup) {
    std::vector<std::string> argv{BatchTool()};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv, setup);
}

std::string RunInChild(const std::function<std::string()>& step, const ChildSetup& setup) {
    int channel[2];
    if (::pipe(channel) != 0) Broken("pipe");
    const pid_t child = ::fork();
    if (child < 0) Broken("fork");
    if (child == 0) {
        ::close(channel[0]);
        std::string result = "cannot set up the child process";
        if (ApplySetup(setup)) {
            try {
                result = step();
            } catch (const std::exception& error) {
                result = std::string("unexpected exception: ") + error.what();
            }
        }
        WriteAllTo(channel[1], result);
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string result;
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(channel[0], buffer, sizeof buffer)) > 0)
        result.append(buffer, static_cast<size_t>(got));
    ::close(channel[0]);
    EXPECT_EQ(WaitFor(child), 0) << "the child process died";
    return result;
}

} // namespace kestrom::test
