#include "FuzzSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace kestrom::fuzz {
namespace {

// Memory-backed when the machine has it: the targets write a file per input.
std::string BaseDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    if (std::filesystem::is_directory("/dev/shm")) return "/dev/shm";
    return tmp && *tmp ? tmp : "/tmp";
}

struct ScratchDirectory {
    std::string Path;
    pid_t Owner = getpid();

    ScratchDirectory() {
        std::string pattern = BaseDirectory() + "/kestrom-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) Fail("mkdtemp", pattern);
        Path = pattern;
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        if (getpid() == Owner) std::filesystem::remove_all(Path, ignored);
    }
};

const std::string& Directory() {
    static ScratchDirectory directory;
    return directory.Path;
}

} // namespace

std::string ScratchPath(const std::string& name) {
    return Directory() + "/" + name;
}

void WriteWhole(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) Fail("cannot write the scratch file", path);
}

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail("cannot read the scratch file", path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Fail(const char* what, std::string_view detail) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    if (!detail.empty())
        std::fprintf(stderr, "  %.*s\n", static_cast<int>(std::min<size_t>(detail.size(), 2000)),
                     detail.data());
    std::abort();
}

} // namespace kestrom::fuzz
