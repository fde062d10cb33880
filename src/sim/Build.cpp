#include "sim/Build.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "sim/ChildProcess.h"

namespace kestrom::sim {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMissingTools =
    "install the Debian packages g++, pkg-config and libsystemc-dev";

std::uint64_t Fnv1a(const std::string& text, std::uint64_t hash = 0xCBF29CE484222325ULL) {
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001B3ULL;
    }
    return hash;
}

std::string HashOf(const std::vector<std::string>& parts) {
    std::uint64_t hash = Fnv1a("kestrom-sim " + std::to_string(kProtocolVersion));
    for (const std::string& part : parts)
        hash = Fnv1a(std::to_string(part.size()) + ":" + part, hash);
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

bool Cancelled(const BuildSettings& settings) {
    return settings.Cancel && settings.Cancel->load();
}

// The program's whole output (standard error too) and its exit status.
std::pair<std::string, int> RunTool(const std::vector<std::string>& command,
                                    const BuildSettings& settings) {
    ChildProcess::Options options;
    options.MergeErrors = true;
    ChildProcess tool(command, options);
    tool.CloseInput();
    std::string output, line;
    for (;;) {
        const ChildProcess::Read read = tool.ReadLine(line, 100);
        if (Cancelled(settings)) throw BuildCancelled(); // the destructor ends the tool
        if (read == ChildProcess::Read::Ended) break;
        if (read == ChildProcess::Read::Line) output += line + "\n";
    }
    return {output, tool.Wait()};
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

std::string SystemCFlags(const BuildSettings& settings) {
    std::pair<std::string, int> result;
    try {
        result = RunTool({"pkg-config", "--cflags", "--libs", "systemc"}, settings);
    } catch (const ProcessError& error) {
        throw BuildError(std::string(error.what()) + ": " + kMissingTools);
    }
    if (result.second != 0)
        throw BuildError("SystemC was not found (pkg-config --cflags --libs systemc): " +
                             std::string(kMissingTools),
                         result.first);
    return result.first;
}

std::string CompilerOf(const BuildSettings& settings) {
    if (!settings.Compiler.empty()) return settings.Compiler;
    const char* cxx = std::getenv("CXX");
    return cxx && *cxx ? cxx : "c++";
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) throw BuildError("cannot write " + path.string());
}

void Tell(const BuildSettings& settings, const std::string& what) {
    if (settings.Progress) settings.Progress(what);
}

} // namespace

std::string DefaultCacheRoot() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache && *cache == '/') return (fs::path(cache) / "kestrom" / "sim").string();
    const char* home = std::getenv("HOME");
    if (home && *home) return (fs::path(home) / ".cache" / "kestrom" / "sim").string();
    throw BuildError("no cache folder for the simulation: neither XDG_CACHE_HOME nor HOME is set");
}

BuiltDriver BuildDriver(const SimDesign& design, const BuildSettings& settings) {
    const std::string compiler = CompilerOf(settings);
    Tell(settings, "looking for SystemC");
    const std::vector<std::string> flags = Words(SystemCFlags(settings));
    const std::string driver = WriteDriverSource(design);
    std::vector<std::string> command = {compiler, "-std=c++17", "-O1", "-w", "driver.cpp"};
    std::vector<std::string> parts = command;
    parts.insert(parts.end(), flags.begin(), flags.end());
    parts.push_back(design.ModuleText);
    parts.push_back(driver);

    const fs::path root = settings.CacheRoot.empty() ? DefaultCacheRoot() : settings.CacheRoot;
    const fs::path folder = root / HashOf(parts);
    BuiltDriver built{(folder / "driver").string(), folder.string(), true};
    if (fs::exists(built.Program)) return built;
    built.Reused = false;

    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
        throw BuildError("cannot make the folder " + folder.string() + ": " + error.message());
    WriteFile(folder / ModuleFileName(design), design.ModuleText);
    WriteFile(folder / "driver.cpp", driver);
    // Built under a name of its own and renamed when complete, so that two
    // builds of the same files never see each other's half-written program.
    const std::string partial = "driver." + std::to_string(getpid()) + ".part";
    command[4] = (folder / "driver.cpp").string();
    command.insert(command.end(), {"-o", (folder / partial).string()});
    command.insert(command.end(), flags.begin(), flags.end());
    Tell(settings, "compiling the module and its driver");
    std::pair<std::string, int> result;
    try {
        result = RunTool(command, settings);
    } catch (const ProcessError& failure) {
        throw BuildError(std::string(failure.what()) + ": " + kMissingTools);
    } catch (const BuildCancelled&) {
        fs::remove(folder / partial, error);
        throw;
    }
    if (result.second != 0) {
        fs::remove(folder / partial, error);
        throw BuildError("the module and its driver do not compile (" + compiler + ", " +
                             DescribeStatus(result.second) + ")",
                         result.first);
    }
    fs::rename(folder / partial, built.Program, error);
    if (error) throw BuildError("cannot keep " + built.Program + ": " + error.message());
    return built;
}

} // namespace kestrom::sim
