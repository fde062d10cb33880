#include "conversion/Generation.h"

#include <algorithm>

#include "conversion/AsfReader.h"
#include "conversion/ModelCheck.h"
#include "conversion/OutputFile.h"
#include "conversion/SystemCWriter.h"

namespace kestrom {
namespace {

void SortAndLimit(Diagnostics& warnings) {
    std::stable_sort(warnings.begin(), warnings.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.Line < b.Line; });
    LimitPerKind(warnings);
}

std::string CheckAndWrite(FsmModel& model, Diagnostics& warnings) {
    warnings = CheckModel(model);
    std::string text = WriteSystemC(model, warnings);
    SortAndLimit(warnings);
    return text;
}

// The text goes straight to the file as it is written; an error on the way
// leaves the earlier file as it was.
Diagnostics CheckAndWriteFile(const std::string& cppPath, FsmModel& model) {
    Diagnostics warnings = CheckModel(model);
    ReplaceFileContent(cppPath, [&](TextOutput& out) { WriteSystemC(model, warnings, out); });
    SortAndLimit(warnings);
    return warnings;
}

} // namespace

std::string GenerateSystemCFromText(std::string_view asfText, FsmModel& model,
                                    Diagnostics& warnings) {
    ReadAsfText(asfText, model);
    return CheckAndWrite(model, warnings);
}

Diagnostics GenerateSystemCFileFromText(std::string_view asfText, const std::string& cppPath,
                                        FsmModel& model) {
    ReadAsfText(asfText, model);
    return CheckAndWriteFile(cppPath, model);
}

std::string GenerateSystemC(const std::string& asfPath, FsmModel& model, Diagnostics& warnings) {
    ReadAsfFile(asfPath, model);
    return CheckAndWrite(model, warnings);
}

void RequireOutputIsNotInput(const std::string& asfPath, const std::string& cppPath) {
    if (IsSameFile(asfPath, cppPath))
        throw OutputError("cannot write " + cppPath + ": it is the ASF file being read");
}

Diagnostics GenerateSystemCFile(const std::string& asfPath, const std::string& cppPath,
                                FsmModel& model) {
    RequireOutputIsNotInput(asfPath, cppPath);
    ReadAsfFile(asfPath, model);
    return CheckAndWriteFile(cppPath, model);
}

} // namespace kestrom
