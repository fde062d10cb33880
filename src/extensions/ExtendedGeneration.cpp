#include "extensions/ExtendedGeneration.h"

#include <algorithm>
#include <cstdio>

#include "conversion/AsfReader.h"
#include "conversion/Generation.h"
#include "conversion/ModelCheck.h"
#include "conversion/OutputFile.h"
#include "drawing/Drawing.h"
#include "extensions/ModulePlan.h"
#include "extensions/ModuleWriter.h"

namespace kestrom {
namespace {

constexpr int kOldestVersion = 15;
constexpr int kNewestVersion = 29;

// Only the extensions that change the module need the drawing.
bool ChangesModule(const Extensions& extensions) {
    return extensions.Reset != ResetStyle::None || extensions.ActionKinds ||
           extensions.TypedPorts || extensions.StatePort || extensions.CoverageHooks;
}

std::string FirstLine(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    std::string line;
    if (!file) return line;
    int c;
    while ((c = std::fgetc(file)) != EOF && c != '\r' && c != '\n' && line.size() < 32)
        line += static_cast<char>(c);
    std::fclose(file);
    return line;
}

bool IsOtherAcceptedVersion(const std::string& line) {
    const std::string prefix = "VERSION=1.";
    if (line.size() != prefix.size() + 2 || line.compare(0, prefix.size(), prefix) != 0)
        return false;
    const char tens = line[prefix.size()];
    const char ones = line[prefix.size() + 1];
    if (tens < '0' || tens > '9' || ones < '0' || ones > '9') return false;
    const int minor = (tens - '0') * 10 + (ones - '0');
    return minor >= kOldestVersion && minor <= kNewestVersion;
}

void SortByLine(Diagnostics& warnings) {
    std::stable_sort(warnings.begin(), warnings.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.Line < b.Line; });
}

std::string GenerateExtended(const std::string& asfPath, FsmModel& model,
                             const Extensions& extensions, Diagnostics& warnings) {
    ReadAsfFile(asfPath, model);
    const drawing::Drawing drawing = drawing::ReadDrawingFile(asfPath);
    warnings = CheckModel(model);
    WarnEqualPriorities(model, warnings);
    const ModulePlan plan = PlanModule(model, drawing, extensions, warnings);
    return WriteExtendedSystemC(model, plan, warnings);
}

} // namespace

void RequireAcceptedFirstLine(const std::string& path, const Extensions& extensions) {
    try {
        RequireAsfFirstLine(path);
    } catch (const AsfError& error) {
        if (!extensions.AnyVersion || error.Line() != 1 || !IsOtherAcceptedVersion(FirstLine(path)))
            throw;
    }
}

bool PassesAcceptedFirstLine(const std::string& path, const Extensions& extensions) {
    try {
        RequireAcceptedFirstLine(path, extensions);
        return true;
    } catch (const AsfError&) {
        return false;
    }
}

std::string GenerateModule(const std::string& asfPath, FsmModel& model,
                           const Extensions& extensions, Diagnostics& warnings) {
    std::string text;
    if (ChangesModule(extensions)) {
        text = GenerateExtended(asfPath, model, extensions, warnings);
    } else {
        text = GenerateSystemC(asfPath, model, warnings);
        PlaceActions(model, nullptr, warnings);
        WarnEqualPriorities(model, warnings);
    }
    SortByLine(warnings);
    return text;
}

Diagnostics GenerateModuleFile(const std::string& asfPath, const std::string& cppPath,
                               FsmModel& model, const Extensions& extensions) {
    if (IsSameFile(asfPath, cppPath))
        throw OutputError("cannot write " + cppPath + ": it is the ASF file being read");
    Diagnostics warnings;
    ReplaceFileContent(cppPath, GenerateModule(asfPath, model, extensions, warnings));
    return warnings;
}

} // namespace kestrom
