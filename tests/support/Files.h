// Scratch directories, whole-file reads and writes, the environment, and
// where the test inputs are.
#pragma once

#include <string>
#include <vector>

namespace kestrom::test {

// A fresh directory under the system's temporary directory, removed with
// everything in it at the end of the scope. Readable and searchable by every
// user, so that an unprivileged child can work in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    std::string operator/(const std::string& name) const { return File(name); }
    // Names of the entries, sorted; temporary files left behind show up here.
    std::vector<std::string> Entries(const std::string& sub = "") const;

private:
    std::string path_;
};

// Both throw std::runtime_error when the file cannot be read or written.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// True for anything at path, a dangling link included.
bool Exists(const std::string& path);

// Sets an environment variable (nullptr unsets it) until the end of the scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::string saved_;
    bool wasSet_;
};

// A real editor file: from tests/data/samples when kept there, otherwise from
// the shared samples beside the checkout (which may be missing).
std::string LocateSample(const std::string& file);

// The ASF examples of the repository and the worked example of one machine.
std::string ExamplePath(const std::string& name);
std::string ToggleAsf();

} // namespace kestrom::test
