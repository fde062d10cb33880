// How long the condition analysis takes: for each ASF file named (or, with
// none, the 2,000-state drawing) the wall time, the number of solver queries,
// the slowest one and how many ran out of time, with the include directories
// given by -I DIR.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "LargeDrawing.h"
#include "analysis/ConditionAnalysis.h"

namespace {

using namespace kestrom;

void Probe(const std::string& path, const translation::HdlOptions& names) {
    const auto start = std::chrono::steady_clock::now();
    try {
        const analysis::AnalysisResult result = analysis::AnalyseConditionsOfFile(path, names);
        const auto wall = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        const analysis::SolverFigures& f = result.Figures;
        std::printf("%s: %zu diagnostics, %zu queries (%zu not decided, %zu not asked), "
                    "slowest %.1f ms, solver %.1f ms, wall %lld ms\n",
                    path.c_str(), result.Reported.size(), f.Queries, f.NotDecided, f.NotAsked,
                    f.Slowest.count() / 1000.0, f.Total.count() / 1000.0,
                    static_cast<long long>(wall.count()));
    } catch (const ConversionError& error) {
        std::printf("%s:%d: %s\n", path.c_str(), error.Line(), error.Message().c_str());
    }
}

} // namespace

int main(int argc, char** argv) {
    translation::HdlOptions names;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-I" && i + 1 < argc)
            names.IncludeDirs.push_back(argv[++i]);
        else
            files.push_back(arg);
    }
    if (files.empty()) {
        const auto path = std::filesystem::temp_directory_path() / "kestrom-large-drawing.asf";
        std::ofstream(path, std::ios::binary) << bench::LargeDrawingAsfText();
        files.push_back(path.string());
    }
    for (const std::string& file : files)
        Probe(file, names);
    return 0;
}
