#include "extensions/ExtendedGeneration.h"

#include <algorithm>
#include <cstdio>

#include "conversion/AsfReader.h"
#include "conversion/Generation.h"
#include "conversion/ModelCheck.h"
#include "extensions/ModulePlan.h"
#include "extensions/ModuleWriter.h"
#include "hdl/Language.h"
#include "io/OutputFile.h"
#include "machine/Design.h"

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

bool IsVersionLine(std::string_view line) {
    return line.substr(0, 8) == "VERSION=";
}

std::string RefusalOfLine(const std::string& line, const Extensions& extensions) {
    if (line.empty()) return "the first line is empty or missing";
    std::string shown = Abridged(line);
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    const std::string found = "the first line is \"" + shown + "\"";
    if (!IsVersionLine(line)) return found + ", not \"VERSION=1.19\"";
    if (IsOtherAcceptedVersion(line) && !extensions.AnyVersion)
        return found + "; versions 1.15 to 1.29 are accepted with \"Accept other ASF versions\" "
                       "(Generate > Extensions) or kestrom-gen --any-version";
    return found + "; accepted are VERSION=1.19 and, with \"Accept other ASF versions\" or "
                   "--any-version, 1.15 to 1.29";
}

// The plain refusal, with the version found when the line names one.
[[noreturn]] void RefuseLine(const AsfError& error, const std::string& line,
                             const Extensions& extensions) {
    if (error.Line() != 1 || !IsVersionLine(line)) throw error;
    throw AsfError(1, error.Message() + ": " + RefusalOfLine(line, extensions));
}

// Texts in a hardware language go into C++ unchanged, and much of them
// compiles to something else: said once per file, with the mode that
// translates them.
void WarnUntranslatedLanguage(const FsmModel& model, Diagnostics& warnings) {
    const std::optional<hdl::Language> language = hdl::LanguageNamed(model.Language);
    if (!language || *language == hdl::Language::Cpp) return;
    if (model.ActionCount == 0 && model.ConditionCount == 0) return;
    const bool verilog = *language == hdl::Language::Verilog;
    warnings.push_back(
        {model.LanguageLine,
         "the actions and conditions are in " + std::string(hdl::LanguageName(*language)) +
             " (LANGUAGE=" + model.Language +
             ") and are copied into C++ as they stand, where they do not mean what they say (" +
             (verilog ? "\"x <= y;\" compiles as a comparison whose result is dropped"
                      : "\"if (a = 0)\" compiles as an assignment") +
             "); kestrom-gen --hdl translates them, as does the window's Extensions choice "
             "\"The diagram is written in its hardware language (translate and flatten)\"",
         code::kActionsNotTranslated});
}

// Neither the plain nor the extended module has a place for them.
void WarnUnwritten(const FsmModel& model, Diagnostics& warnings) {
    for (const UnwrittenRec& object : model.Unwritten)
        warnings.push_back({object.Line,
                            object.Kind + " '" + Abridged(object.Text) +
                                "' is not written: the module has no place for it "
                                "(kestrom-gen --hdl writes it)",
                            code::kDeclarationNotWritten});
}

// What the texts and objects of the drawing lose on the way into C++.
void WarnNotCarriedOver(const FsmModel& model, Diagnostics& warnings) {
    WarnUntranslatedLanguage(model, warnings);
    WarnUnwritten(model, warnings);
}

std::string GenerateExtended(const machine::Design& design, FsmModel& model,
                             const Extensions& extensions, Diagnostics& warnings) {
    ReadAsfText(design.Text(), model);
    warnings = CheckModel(model, true);
    WarnEqualPriorities(model, warnings);
    const ModulePlan plan = PlanModule(model, design, extensions, warnings);
    WarnNotCarriedOver(model, warnings);
    return WriteExtendedSystemC(model, plan, warnings);
}

} // namespace

void RequireAcceptedFirstLine(const std::string& path, const Extensions& extensions) {
    try {
        RequireAsfFirstLine(path);
    } catch (const AsfError& error) {
        const std::string line = error.Line() == 1 ? FirstLine(path) : std::string();
        if (!extensions.AnyVersion || error.Line() != 1 || !IsOtherAcceptedVersion(line))
            RefuseLine(error, line, extensions);
    }
}

void RequireAcceptedFirstLine(const machine::Design& design, const Extensions& extensions) {
    try {
        RequireAsfFirstLineIn(design.Text());
    } catch (const AsfError& error) {
        const std::string_view text = design.Text();
        const std::size_t end = std::min({text.find('\r'), text.find('\n'), std::size_t{32}});
        const std::string line(text.substr(0, end));
        if (!extensions.AnyVersion || !IsOtherAcceptedVersion(line))
            RefuseLine(error, line, extensions);
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

std::string FirstLineRefusal(const std::string& path, const Extensions& extensions) {
    try {
        RequireAsfFirstLine(path);
        return {};
    } catch (const AsfError& error) {
        if (error.Line() != 1) return error.Message();
        const std::string line = FirstLine(path);
        if (extensions.AnyVersion && IsOtherAcceptedVersion(line)) return {};
        return RefusalOfLine(line, extensions);
    }
}

machine::Design ReadDesign(const std::string& asfPath, FsmModel& model) {
    // As every read, this one leaves nothing of an earlier file in the model.
    ClearForRead(model);
    return machine::Design::ReadFile(asfPath);
}

std::string GenerateModule(const std::string& asfPath, FsmModel& model,
                           const Extensions& extensions, Diagnostics& warnings) {
    if (ChangesModule(extensions))
        return GenerateModule(ReadDesign(asfPath, model), model, extensions, warnings);
    std::string text = GenerateSystemC(asfPath, model, warnings, extensions.AnyVersion);
    PlaceActions(model, nullptr, warnings);
    WarnNotCarriedOver(model, warnings);
    WarnEqualPriorities(model, warnings);
    SortAndLimit(warnings);
    return text;
}

std::string GenerateModule(const machine::Design& design, FsmModel& model,
                           const Extensions& extensions, Diagnostics& warnings) {
    std::string text;
    if (ChangesModule(extensions)) {
        text = GenerateExtended(design, model, extensions, warnings);
    } else {
        text = GenerateSystemCFromText(design.Text(), model, warnings, extensions.AnyVersion);
        PlaceActions(model, nullptr, warnings);
        WarnEqualPriorities(model, warnings);
        WarnNotCarriedOver(model, warnings);
    }
    SortAndLimit(warnings);
    return text;
}

Diagnostics GenerateModuleFile(const std::string& asfPath, const std::string& cppPath,
                               FsmModel& model, const Extensions& extensions) {
    if (!ChangesModule(extensions)) {
        // The plain module goes straight to the file as it is written.
        Diagnostics warnings = GenerateSystemCFile(asfPath, cppPath, model, extensions.AnyVersion);
        PlaceActions(model, nullptr, warnings);
        WarnNotCarriedOver(model, warnings);
        WarnEqualPriorities(model, warnings);
        SortAndLimit(warnings);
        return warnings;
    }
    RequireOutputIsNotInput(asfPath, cppPath);
    return GenerateModuleFile(asfPath, ReadDesign(asfPath, model), cppPath, model, extensions);
}

Diagnostics GenerateModuleFile(const std::string& asfPath, const machine::Design& design,
                               const std::string& cppPath, FsmModel& model,
                               const Extensions& extensions) {
    // The plain module keeps its own reader, which writes as it reads.
    if (!ChangesModule(extensions)) return GenerateModuleFile(asfPath, cppPath, model, extensions);
    RequireOutputIsNotInput(asfPath, cppPath);
    Diagnostics warnings;
    ReplaceFileContent(cppPath, GenerateModule(design, model, extensions, warnings));
    return warnings;
}

} // namespace kestrom
