#include "io/OptionFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrom {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int error) {
    throw OptionFileError("cannot " + what + " " + path + ": " + std::strerror(error));
}

bool IsWritableDirectory(const std::string& dir) {
    if (::access(dir.c_str(), W_OK) == 0) return true;
    // A folder that is missing is no sign of an installed program; the
    // failure to open the file beside it is reported as before.
    return errno != EACCES && errno != EROFS && errno != EPERM;
}

std::string HomeDirectory() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') return home;
    const passwd* user = ::getpwuid(::getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "/";
}

void MakeDirectory(const std::string& dir) {
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) Fail("create", dir, errno);
}

} // namespace

std::string UserConfigDirectory() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') return config;
    return HomeDirectory() + "/.config";
}

std::string OptionFileDirectory(const std::string& programDir, bool programDirWritable) {
    return programDirWritable ? programDir : UserConfigDirectory() + "/kestrom";
}

std::string OptionFileLocation(const std::string& programDir) {
    return OptionFilePath(OptionFileDirectory(programDir, IsWritableDirectory(programDir)));
}

void MakeOptionFileDirectory(const std::string& optionFilePath) {
    const std::string userDir = UserConfigDirectory() + "/kestrom";
    if (optionFilePath != OptionFilePath(userDir)) return;
    for (std::size_t slash = userDir.find('/', 1); slash != std::string::npos;
         slash = userDir.find('/', slash + 1))
        MakeDirectory(userDir.substr(0, slash));
    MakeDirectory(userDir);
}

Integer ReadStoredProcessKind(const std::string& path) {
    // Not blocking, so that a FIFO in its place cannot hold the program up.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) return kThreadProcess;
    if (fd < 0) Fail("read", path, errno);
    struct stat info {};
    const bool statted = ::fstat(fd, &info) == 0;
    int error = !statted ? errno : S_ISDIR(info.st_mode) ? EISDIR : 0;
    const bool regular = statted && S_ISREG(info.st_mode);
    unsigned char bytes[2];
    ssize_t got = 0;
    if (error == 0 && regular && (got = ::pread(fd, bytes, sizeof bytes, 0)) < 0) error = errno;
    ::close(fd);
    if (error != 0) Fail("read", path, error);
    if (!regular) throw OptionFileError("cannot read " + path + ": not a regular file");
    if (got < 2) return kThreadProcess;
    return static_cast<Integer>(bytes[0] | (bytes[1] << 8));
}

std::string OptionFilePath(const std::string& programDir) {
    return programDir + "/option.dat";
}

void LoadProcessKind(const std::string& path, Integer& processKind) {
    // Opened for reading and writing, so that a missing file is created
    // empty; a file the user made read-only is still read.
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT, 0666);
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM))
        fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) Fail("open", path, errno);
    unsigned char bytes[2];
    const ssize_t got = ::pread(fd, bytes, sizeof bytes, 0);
    const int error = errno;
    ::close(fd);
    if (got < 0) Fail("read", path, error);
    if (got == 2) processKind = static_cast<Integer>(bytes[0] | (bytes[1] << 8));
}

void SaveProcessKind(const std::string& path, Integer processKind) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0666);
    if (fd < 0) Fail("open", path, errno);
    const auto value = static_cast<std::uint16_t>(processKind);
    const unsigned char bytes[2] = {static_cast<unsigned char>(value & 0xFF),
                                    static_cast<unsigned char>(value >> 8)};
    const ssize_t written = ::pwrite(fd, bytes, sizeof bytes, 0);
    const int error = errno;
    if (::close(fd) != 0 && written == 2) Fail("write", path, errno);
    if (written != 2) Fail("write", path, written < 0 ? error : ENOSPC);
}

} // namespace kestrom
