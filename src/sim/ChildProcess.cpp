#include "sim/ChildProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kestrom::sim {
namespace {

struct Pipe {
    int Read = -1, Write = -1;
    Pipe() {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            throw ProcessError(std::string("cannot make a pipe: ") + std::strerror(errno));
        Read = fds[0];
        Write = fds[1];
    }
};

void CloseFd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

// A write to a pipe nobody reads fails with EPIPE instead of ending this
// program: SIGPIPE is blocked for the thread while it writes, and a signal
// left pending by the write is taken before it is unblocked.
bool WriteAll(int fd, const std::string& text) {
    sigset_t pipeSignal, previous;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    std::size_t done = 0;
    bool broken = false;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            broken = true;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (broken && errno == EPIPE) {
        const timespec none{0, 0};
        sigtimedwait(&pipeSignal, nullptr, &none);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return !broken;
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const Options& options) {
    if (arguments.empty()) throw ProcessError("no program to run");
    Pipe in, out;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.Read, 0);
    posix_spawn_file_actions_adddup2(&actions, out.Write, 1);
    if (options.MergeErrors) posix_spawn_file_actions_adddup2(&actions, out.Write, 2);

    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable)
        environment.emplace_back(*variable);
    environment.insert(environment.end(), options.Environment.begin(), options.Environment.end());
    std::vector<char*> envp, argv;
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    const int failed = posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(in.Read);
    close(out.Write);
    if (failed != 0) {
        close(in.Write);
        close(out.Read);
        pid_ = -1;
        throw ProcessError("cannot run " + arguments[0] + ": " + std::strerror(failed));
    }
    input_ = in.Write;
    output_ = out.Read;
}

ChildProcess::~ChildProcess() {
    Kill();
}

bool ChildProcess::WriteLine(const std::string& line) {
    return input_ >= 0 && WriteAll(input_, line + "\n");
}

void ChildProcess::CloseInput() {
    CloseFd(input_);
}

ChildProcess::Read ChildProcess::ReadLine(std::string& line, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const std::size_t end = buffer_.find('\n');
        if (end != std::string::npos) {
            line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            return Read::Line;
        }
        if (ended_ || output_ < 0) {
            if (buffer_.empty()) return Read::Ended;
            line.swap(buffer_);
            buffer_.clear();
            return Read::Line;
        }
        int wait = -1;
        if (timeoutMs >= 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) return Read::Timeout;
            wait = static_cast<int>(left.count());
        }
        pollfd ready{output_, POLLIN, 0};
        const int polled = poll(&ready, 1, wait);
        if (polled < 0 && errno == EINTR) continue;
        if (polled == 0) return Read::Timeout;
        char chunk[65536];
        const ssize_t n = read(output_, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            ended_ = true;
        else
            buffer_.append(chunk, static_cast<std::size_t>(n));
    }
}

int ChildProcess::Wait() {
    CloseFd(input_);
    if (pid_ > 0) {
        int raw = 0;
        while (waitpid(pid_, &raw, 0) < 0 && errno == EINTR) {
        }
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        pid_ = -1;
    }
    CloseFd(output_);
    return status_;
}

void ChildProcess::Kill() {
    if (pid_ > 0) kill(pid_, SIGKILL);
    Wait();
}

std::string DescribeStatus(int status) {
    if (status > 128) return "killed by signal " + std::to_string(status - 128);
    return "exit status " + std::to_string(status);
}

} // namespace kestrom::sim
