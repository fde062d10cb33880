// Taking in an input file with a single open, so that what the first-line
// test sees is what the reader reads: pipes, FIFOs and standard input work
// as well as regular files. Every reader of input files goes through here.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace kestrom {

// Gives back a buffer of ReadInputFile's: mapped when large, else from new[].
struct InputBufferRelease {
    std::size_t Mapped = 0;
    void operator()(char* bytes) const;
};
using InputBuffer = std::unique_ptr<char[], InputBufferRelease>;

// The whole content of one input file.
class InputText {
public:
    InputText() = default;
    InputText(InputBuffer bytes, std::size_t size) : bytes_(std::move(bytes)), size_(size) {}
    std::string_view Text() const { return {bytes_.get(), size_}; }

private:
    InputBuffer bytes_;
    std::size_t size_ = 0;
};

// An input file opened once, as ReadInputFile opens it, and read a piece at
// a time. Throws AsfError (line 0) when it cannot be opened or read.
class InputStream {
public:
    explicit InputStream(const std::string& path);
    explicit InputStream(int fd); // stays open
    ~InputStream();
    InputStream(const InputStream&) = delete;
    InputStream& operator=(const InputStream&) = delete;

    // Up to size bytes into into; 0 only at the end.
    std::size_t Read(char* into, std::size_t size);
    // What a regular file holds now; 0 when unknown.
    std::size_t SizeHint() const { return sizeHint_; }

private:
    void Take(int fd, bool owned);

    int fd_ = -1;
    bool owned_ = false;
    std::size_t sizeHint_ = 0;
};

// Opens path once and reads it to its end; /dev/stdin and the like are read
// through the descriptor they name, never opened again. Throws AsfError (line 0) when it
// cannot be opened or read, std::bad_alloc when it does not fit in memory.
InputText ReadInputFile(const std::string& path);

// How many times this process opened an input file by its name: a run that
// reads its file once opens it once.
std::size_t InputFileOpenings();

// The same over a descriptor already open, such as standard input; it stays open.
InputText ReadInputDescriptor(int fd);

// An input that can be read only once (standard input as "-", a pipe, a
// FIFO, a device) taken in whole and kept in an unnamed file, so that every
// reader after it can open it again by Path(); a regular file is left as it
// is. Throws as ReadInputFile does.
class SpooledInput {
public:
    explicit SpooledInput(const std::string& path);
    ~SpooledInput();
    SpooledInput(const SpooledInput&) = delete;
    SpooledInput& operator=(const SpooledInput&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
};

// Refuses with AsfError (line 0) a path that names a FIFO, a device or a
// socket, without opening it: what an interactive program must not block on.
void RequireRegularInput(const std::string& path);

} // namespace kestrom
