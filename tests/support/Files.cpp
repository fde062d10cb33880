#include "support/Files.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrom::test {
namespace fs = std::filesystem;

namespace {

[[noreturn]] void Broken(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

} // namespace

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "kestrom-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) Broken("cannot make a temporary directory");
    path_ = pattern;
    ::chmod(path_.c_str(), 0755);
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Give back the permissions a test took away, so that everything can go.
    ::chmod(path_.c_str(), 0755);
    for (const auto& entry : fs::recursive_directory_iterator(path_, ignored))
        if (entry.is_directory(ignored)) ::chmod(entry.path().c_str(), 0755);
    fs::remove_all(path_, ignored);
}

std::vector<std::string> TempDir::Entries(const std::string& sub) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(sub.empty() ? path_ : File(sub)))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Broken("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) Broken("cannot write " + path);
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* saved = std::getenv(name);
    wasSet_ = saved != nullptr;
    if (wasSet_) saved_ = saved;
    if (value)
        ::setenv(name, value, 1);
    else
        ::unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
    if (wasSet_)
        ::setenv(name_.c_str(), saved_.c_str(), 1);
    else
        ::unsetenv(name_.c_str());
}

std::string LocateSample(const std::string& file) {
    const std::string here = std::string(KESTROM_TEST_DATA) + "/samples/" + file;
    if (fs::exists(here)) return here;
    return std::string(KESTROM_SHARED_SAMPLES) + "/" + file;
}

std::string ExamplePath(const std::string& name) {
    return std::string(KESTROM_EXAMPLES) + "/" + name;
}

std::string ToggleAsf() {
    return ReadFileBytes(ExamplePath("toggle.asf"));
}

} // namespace kestrom::test
