#include "io/OutputFile.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <iterator>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Diagnostics.h"
#include "io/FileKind.h"

namespace kestrom {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int error) {
    throw OutputError("cannot " + what + " " + path + ": " + std::strerror(error));
}

bool WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string Produced(const TextProducer& produce) {
    StringOutput out;
    produce(out);
    return out.Text();
}

class DescriptorOutput : public TextOutput {
public:
    DescriptorOutput(int fd, const std::string& path) : fd_(fd), path_(path) {}

protected:
    void Take(std::string_view chunk) override {
        if (!WriteAll(fd_, chunk)) Fail("write", path_, errno);
    }

private:
    int fd_;
    const std::string& path_;
};

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ReadLink(const std::string& path, const std::string& shownPath) {
    std::string content(256, '\0');
    for (;;) {
        const ssize_t got = ::readlink(path.c_str(), content.data(), content.size());
        if (got < 0) Fail("write", shownPath, errno);
        if (static_cast<std::size_t>(got) < content.size()) {
            content.resize(static_cast<std::size_t>(got));
            break;
        }
        content.resize(content.size() * 2);
    }
    if (content.empty() || content[0] == '/' || path.find('/') == std::string::npos) return content;
    return DirectoryOf(path) + "/" + content;
}

// Where a write must land: symbolic links followed one by one (so that a
// dangling link gets its target created and no absolute path has to fit
// PATH_MAX), up to a descriptor name, a missing file or an existing one.
struct Target {
    std::string Path;
    int Descriptor = -1;
    bool Exists = false;
    struct stat Info {};
};

Target FindTarget(const std::string& path) {
    constexpr int kMaxLinks = 40;
    Target target;
    target.Path = path;
    for (int links = 0; links <= kMaxLinks; ++links) {
        target.Descriptor = DescriptorNamedBy(target.Path);
        if (target.Descriptor >= 0) return target;
        if (::lstat(target.Path.c_str(), &target.Info) != 0) {
            if (errno == ENOENT) return target;
            Fail("write", path, errno);
        }
        if (!S_ISLNK(target.Info.st_mode)) {
            target.Exists = true;
            return target;
        }
        target.Path = ReadLink(target.Path, path);
    }
    Fail("write", path, ELOOP);
}

void WriteToDescriptor(const std::string& path, int fd, std::string_view content) {
    if (!WriteAll(fd, content)) Fail("write", path, errno);
}

// Devices and FIFOs cannot be renamed over, nor can a file in a directory
// that refuses new entries: write into them.
void WriteInPlace(const std::string& path, const std::string& target, std::string_view content) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) Fail("open", path, errno);
    const bool ok = WriteAll(fd, content);
    const int error = errno;
    if (::close(fd) != 0 && ok) Fail("write", path, errno);
    if (!ok) Fail("write", path, error);
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A temporary name is short whatever the output's name (which may be up to
// the name limit itself).
std::string TemporaryName() {
    static unsigned counter = 0;
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const unsigned long mix = static_cast<unsigned long>(now.tv_nsec) ^
                              (static_cast<unsigned long>(::getpid()) << 16) ^ (++counter * 7919u);
    char name[32];
    std::snprintf(name, sizeof name, ".kestrom-%08lx", mix & 0xffffffffUL);
    return name;
}

// The signals that end a program at a user's or a pipe's request.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE};

sigset_t EndingSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : kEndingSignals)
        sigaddset(&set, signal);
    return set;
}

// While a named temporary file exists, an ending signal removes it first.
int gCleanupDir = -1;
char gCleanupName[32];

extern "C" void RemoveTemporaryAndEnd(int signal) {
    if (gCleanupDir >= 0) ::unlinkat(gCleanupDir, gCleanupName, 0);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

class SignalsBlocked {
public:
    SignalsBlocked() {
        const sigset_t set = EndingSignals();
        ::pthread_sigmask(SIG_BLOCK, &set, &old_);
    }
    ~SignalsBlocked() { ::pthread_sigmask(SIG_SETMASK, &old_, nullptr); }

private:
    sigset_t old_;
};

// A file in the output's directory that becomes the output only at Commit;
// anything else leaves no trace of it.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() { Discard(); }

    // 0, or the errno of the failure.
    int Create(const std::string& directory, mode_t mode) {
        dir_ = ::open(directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (dir_ < 0) return errno;
        fd_ = ::openat(dir_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (fd_ < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return errno;
        if (fd_ < 0) return CreateNamed(mode);
        return ::fchmod(fd_, mode) == 0 ? 0 : errno;
    }

    int Descriptor() const { return fd_; }

    // replacesFile: the output was found to be a regular file.
    void Commit(const std::string& path, const std::string& target, bool replacesFile) {
        SignalsBlocked blocked;
        if (name_.empty()) LinkIn(path);
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) Fail("write", path, errno);
        const std::string name = NameOf(target);
        if (!replacesFile || !Exchange(path, name)) {
            if (::renameat(dir_, name_.c_str(), dir_, name.c_str()) != 0)
                Fail("write", path, errno);
        }
        Forget();
    }

private:
    // Swaps the new file in for the earlier one, then removes the earlier one
    // under the temporary name. A rename over an existing file would do the
    // same, but ext4 then writes the new file's data out at once, which costs
    // more than the whole generation. False, with nothing changed, when the
    // system cannot swap or a directory has taken the output's name meanwhile.
    bool Exchange(const std::string& path, const std::string& name) {
        if (::renameat2(dir_, name_.c_str(), dir_, name.c_str(), RENAME_EXCHANGE) != 0)
            return false;
        struct stat earlier {};
        if (::fstatat(dir_, name_.c_str(), &earlier, AT_SYMLINK_NOFOLLOW) != 0)
            return true; // already gone
        if (S_ISDIR(earlier.st_mode) &&
            ::renameat2(dir_, name_.c_str(), dir_, name.c_str(), RENAME_EXCHANGE) == 0)
            return false;
        if (::unlinkat(dir_, name_.c_str(), 0) != 0 && errno != ENOENT)
            Fail("remove the earlier content of", path, errno);
        return true;
    }

    int CreateNamed(mode_t mode) {
        SignalsBlocked blocked;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string name = TemporaryName();
            fd_ = ::openat(dir_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd_ >= 0) {
                Remember(name);
                return ::fchmod(fd_, mode) == 0 ? 0 : errno;
            }
            if (errno != EEXIST) return errno;
        }
        return EEXIST;
    }

    // Gives the unnamed file a name; signals are blocked until it is renamed.
    void LinkIn(const std::string& path) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string name = TemporaryName();
            if (::linkat(AT_FDCWD, self.c_str(), dir_, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
                ::linkat(fd_, "", dir_, name.c_str(), AT_EMPTY_PATH) == 0) {
                Remember(name);
                return;
            }
            if (errno != EEXIST) Fail("write", path, errno);
        }
        Fail("write", path, EEXIST);
    }

    void Remember(const std::string& name) {
        name_ = name;
        std::snprintf(gCleanupName, sizeof gCleanupName, "%s", name.c_str());
        gCleanupDir = dir_;
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
            struct sigaction old {};
            ::sigaction(kEndingSignals[i], nullptr, &old);
            if (old.sa_handler != SIG_DFL) continue; // ignored or handled by the program
            struct sigaction cleanup {};
            cleanup.sa_handler = RemoveTemporaryAndEnd;
            armed_[i] = ::sigaction(kEndingSignals[i], &cleanup, nullptr) == 0;
        }
    }

    void Forget() {
        gCleanupDir = -1;
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
            if (armed_[i]) ::signal(kEndingSignals[i], SIG_DFL);
        std::fill(std::begin(armed_), std::end(armed_), false);
        name_.clear();
    }

    void Discard() {
        if (fd_ >= 0) ::close(fd_);
        if (!name_.empty()) {
            SignalsBlocked blocked;
            ::unlinkat(dir_, name_.c_str(), 0);
            Forget();
        }
        if (dir_ >= 0) ::close(dir_);
        fd_ = dir_ = -1;
    }

    int dir_ = -1;
    int fd_ = -1;
    std::string name_; // empty while the file is unnamed
    bool armed_[std::size(kEndingSignals)] = {};
};

void ReplaceRegularFile(const std::string& path, const Target& target,
                        const TextProducer& produce) {
    TemporaryFile temporary;
    const mode_t mode = target.Exists ? target.Info.st_mode & 07777 : NewFileMode();
    const int error = temporary.Create(DirectoryOf(target.Path), mode);
    const bool directoryRefuses = error == EACCES || error == EPERM;
    if (error != 0 && target.Exists && directoryRefuses)
        return WriteInPlace(path, target.Path, Produced(produce));
    if (error != 0) Fail("create a file beside", path, error);
    DescriptorOutput out(temporary.Descriptor(), path);
    produce(out);
    out.Flush();
    temporary.Commit(path, target.Path, target.Exists);
}

} // namespace

void ReplaceFileContent(const std::string& path, const TextProducer& produce) {
    const Target target = FindTarget(path);
    if (target.Descriptor >= 0)
        return WriteToDescriptor(path, target.Descriptor, Produced(produce));
    if (target.Exists) {
        if (S_ISDIR(target.Info.st_mode)) Fail("write", path, EISDIR);
        if (!S_ISREG(target.Info.st_mode))
            return WriteInPlace(path, target.Path, Produced(produce));
        // As a shell redirect would: a file the user may not write stays.
        if (::faccessat(AT_FDCWD, target.Path.c_str(), W_OK, AT_EACCESS) != 0)
            Fail("write", path, errno);
    }
    ReplaceRegularFile(path, target, produce);
}

void ReplaceFileContent(const std::string& path, std::string_view content) {
    ReplaceFileContent(path, [content](TextOutput& out) { out.Append(content); });
}

void RequireRegularOutput(const std::string& path) {
    const Target target = FindTarget(path);
    if (target.Descriptor >= 0)
        throw OutputError("cannot write " + path + ": it names a descriptor, not a regular file");
    const mode_t mode = target.Info.st_mode;
    if (target.Exists && !S_ISREG(mode) && !S_ISDIR(mode))
        throw OutputError("cannot write " + path + ": " + NotRegularReason(mode));
}

bool IsSameFile(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    if (::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0) return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

void RequireOutputIsNotInput(const std::string& asfPath, const std::string& outputPath) {
    if (IsSameFile(asfPath, outputPath))
        throw OutputError("cannot write " + outputPath + ": it is the ASF file being read");
}

} // namespace kestrom
