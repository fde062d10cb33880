#include "conversion/OutputFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "conversion/Diagnostics.h"

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

// Devices, pipes and the like cannot be renamed over: write into them.
void WriteInPlace(const std::string& path, std::string_view content) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
    if (fd < 0) Fail("open", path, errno);
    const bool ok = WriteAll(fd, content);
    const int error = errno;
    if (::close(fd) != 0 && ok) Fail("write", path, errno);
    if (!ok) Fail("write", path, error);
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path that a rename must replace: the file a symbolic link points to,
// so that the link itself survives.
std::string ResolvedTarget(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved)) return resolved;
    return path;
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void ReplaceRegularFile(const std::string& path, const std::string& target, mode_t mode,
                        std::string_view content) {
    std::string temporary = DirectoryOf(target) + "/." + NameOf(target) + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) Fail("create a file beside", path, errno);
    const bool ok = WriteAll(fd, content) && ::fchmod(fd, mode) == 0;
    int error = errno;
    const bool closed = ::close(fd) == 0;
    if (ok && !closed) error = errno;
    if (!ok || !closed || ::rename(temporary.c_str(), target.c_str()) != 0) {
        if (ok && closed) error = errno;
        ::unlink(temporary.c_str());
        Fail("write", path, error);
    }
}

} // namespace

void ReplaceFileContent(const std::string& path, std::string_view content) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) Fail("write", path, EISDIR);
        if (!S_ISREG(info.st_mode)) return WriteInPlace(path, content);
        return ReplaceRegularFile(path, ResolvedTarget(path), info.st_mode & 07777, content);
    }
    if (errno != ENOENT) Fail("write", path, errno);
    ReplaceRegularFile(path, path, NewFileMode(), content);
}

bool IsSameFile(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    if (::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0) return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace kestrom
