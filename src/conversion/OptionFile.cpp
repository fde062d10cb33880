#include "conversion/OptionFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kestrom {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int error) {
    throw OptionFileError("cannot " + what + " " + path + ": " + std::strerror(error));
}

} // namespace

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
