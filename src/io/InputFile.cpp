#include "io/InputFile.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Diagnostics.h"
#include "io/FileKind.h"

namespace kestrom {
namespace {

std::atomic<std::size_t> openings{0};

[[noreturn]] void FailToRead(const std::string& reason) {
    throw AsfError(0, reason);
}

// A large buffer is mapped with its pages in place at once, which costs far
// less than taking them one fault at a time while reading.
InputBuffer NewBuffer(std::size_t size) {
    constexpr std::size_t kMapFrom = 256 * 1024;
    if (size < kMapFrom) return InputBuffer(new char[size]);
    void* mapped = ::mmap(nullptr, size, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    return InputBuffer(static_cast<char*>(mapped), InputBufferRelease{size});
}

// Reads until the end, growing the buffer by doubling; sizeHint is what a
// regular file holds, so that one buffer (and one more read, to see the end)
// is all it needs.
InputText ReadToEnd(InputStream& stream) {
    const std::size_t sizeHint = stream.SizeHint();
    std::size_t capacity = sizeHint < 65536 ? 65536 : sizeHint + 1;
    InputBuffer buffer = NewBuffer(capacity);
    std::size_t used = 0;
    for (;;) {
        if (used == capacity) {
            if (capacity > SIZE_MAX / 2) throw std::bad_alloc();
            InputBuffer larger = NewBuffer(capacity * 2);
            std::memcpy(larger.get(), buffer.get(), used);
            buffer = std::move(larger);
            capacity *= 2;
        }
        const std::size_t got = stream.Read(buffer.get() + used, capacity - used);
        if (got == 0) return InputText(std::move(buffer), used);
        used += got;
    }
}

} // namespace

void InputBufferRelease::operator()(char* bytes) const {
    if (Mapped > 0)
        ::munmap(bytes, Mapped);
    else
        delete[] bytes;
}

InputStream::InputStream(const std::string& path) {
    // A regular file behind the name is opened again (from its start), as
    // the shell does; anything else is read where it stands.
    const int named = DescriptorNamedBy(path);
    struct stat namedInfo {};
    if (named >= 0 && (::fstat(named, &namedInfo) != 0 || !S_ISREG(namedInfo.st_mode))) {
        Take(named, false);
        return;
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        FailToRead("cannot read the file: it is a directory");
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) FailToRead(std::string("cannot open the file: ") + std::strerror(errno));
    ++openings;
    Take(fd, true);
}

std::size_t InputFileOpenings() {
    return openings;
}

InputStream::InputStream(int fd) {
    Take(fd, false);
}

InputStream::~InputStream() {
    if (owned_) ::close(fd_);
}

void InputStream::Take(int fd, bool owned) {
    fd_ = fd;
    owned_ = owned;
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        FailToRead(std::string("cannot read the file: ") + std::strerror(errno));
    if (S_ISDIR(info.st_mode)) FailToRead("cannot read the file: it is a directory");
    if (S_ISREG(info.st_mode) && info.st_size > 0)
        sizeHint_ = static_cast<std::size_t>(info.st_size);
}

std::size_t InputStream::Read(char* into, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(fd_, into, size);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR)
            FailToRead(std::string("cannot read the file: ") + std::strerror(errno));
    }
}

InputText ReadInputFile(const std::string& path) {
    InputStream stream(path);
    return ReadToEnd(stream);
}

InputText ReadInputDescriptor(int fd) {
    InputStream stream(fd);
    return ReadToEnd(stream);
}

namespace {

bool CanBeReadAgain(const std::string& path) {
    if (path == "-") return false;
    const int named = DescriptorNamedBy(path);
    struct stat info {};
    const int got = named >= 0 ? ::fstat(named, &info) : ::stat(path.c_str(), &info);
    return got != 0 || S_ISREG(info.st_mode) || S_ISDIR(info.st_mode);
}

} // namespace

SpooledInput::SpooledInput(const std::string& path) : path_(path) {
    if (CanBeReadAgain(path)) return;
    const InputText input = path == "-" ? ReadInputDescriptor(0) : ReadInputFile(path);
    fd_ = ::memfd_create("kestrom-input", MFD_CLOEXEC);
    if (fd_ < 0) FailToRead(std::string("cannot keep the input: ") + std::strerror(errno));
    std::string_view text = input.Text();
    while (!text.empty()) {
        const ssize_t written = ::write(fd_, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) FailToRead(std::string("cannot keep the input: ") + std::strerror(errno));
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    path_ = "/proc/self/fd/" + std::to_string(fd_);
}

SpooledInput::~SpooledInput() {
    if (fd_ >= 0) ::close(fd_);
}

void RequireRegularInput(const std::string& path) {
    const std::string reason = NotRegularReasonAt(path);
    if (!reason.empty()) FailToRead("cannot open the file: " + reason);
}

} // namespace kestrom
