#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "conversion/Diagnostics.h"
#include "model/FsmModel.h"

namespace kestrom {
// Readable diagnostics in test failures.
void PrintTo(const Diagnostic& diagnostic, std::ostream* out);
} // namespace kestrom

namespace kestrom::test {

// An ASF file around the given object lines (each without line end).
std::string AsfWithObjects(const std::vector<std::string>& objects,
                           const std::string& entity = "ENTITY=\"M\"");

FsmModel ReadObjects(const std::vector<std::string>& objects);

// "line N: message" of the read's failure, or "no error".
std::string ReadError(const std::string& asfText);

// The generated file for the objects, with warnings collected.
std::string Generate(const std::vector<std::string>& objects, Integer processKind,
                     Diagnostics* warnings = nullptr);

// The generated lines from "//Next State" to "break ;" of the state whose
// case label is the given name, without their indentation.
std::vector<std::string> NextStateLines(const std::string& output, const std::string& state);

std::vector<std::string> SplitCrLfLines(const std::string& text);

// One line per object, compact enough to compare a whole model at once.
std::string DumpModel(const FsmModel& model);

// A real editor file: from tests/data/samples when kept there, otherwise from
// the shared samples beside the checkout (which may be missing).
std::string LocateSample(const std::string& file);

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

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

// A fresh directory under the system's temporary directory, removed at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    std::vector<std::string> Entries() const;

private:
    std::string path_;
};

} // namespace kestrom::test
