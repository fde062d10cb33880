#include "conversion/Generation.h"

#include <algorithm>

#include "conversion/AsfReader.h"
#include "conversion/ModelCheck.h"
#include "conversion/OutputFile.h"
#include "conversion/SystemCWriter.h"

namespace kestrom {

std::string GenerateSystemC(const std::string& asfPath, FsmModel& model, Diagnostics& warnings) {
    ReadAsfFile(asfPath, model);
    warnings = CheckModel(model);
    std::string text = WriteSystemC(model, warnings);
    std::stable_sort(warnings.begin(), warnings.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.Line < b.Line; });
    LimitPerKind(warnings);
    return text;
}

Diagnostics GenerateSystemCFile(const std::string& asfPath, const std::string& cppPath,
                                FsmModel& model) {
    if (IsSameFile(asfPath, cppPath))
        throw OutputError("cannot write " + cppPath + ": it is the ASF file being read");
    Diagnostics warnings;
    ReplaceFileContent(cppPath, GenerateSystemC(asfPath, model, warnings));
    return warnings;
}

} // namespace kestrom
