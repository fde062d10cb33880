#include "ui/ViewGeneration.h"

#include <memory>
#include <new>

#include <QFile>
#include <QFileInfo>

#include "base/Error.h"
#include "conversion/Generation.h"
#include "extensions/ExtendedGeneration.h"
#include "io/OptionFile.h"
#include "translation/HdlGeneration.h"
#include "ui/FormExtensions.h"
#include "ui/Platform.h"

namespace kestrom::ui {

namespace {

translation::HdlRequest TranslationRequest(const std::string& asfPath, Integer processKind,
                                           const Extensions& chosen,
                                           const translation::HdlOptions& hdl) {
    translation::HdlRequest request;
    request.AsfPath = asfPath;
    request.ShownName = asfPath;
    request.Thread = processKind != kMethodProcess;
    request.StatePort = chosen.StatePort;
    request.Options = hdl;
    request.Options.Enabled = true;
    return request;
}

// An error in an included file names that file, since the views place
// every row in the ASF file.
Diagnostic FromError(const Error& error, const std::string& asfPath) {
    Diagnostic diagnostic(error.Line(), error.Message(), error.Code());
    diagnostic.Column = error.Column();
    diagnostic.Level = Severity::Error;
    if (!error.File().empty() && error.File() != asfPath) {
        diagnostic.Message = FormatDiagnostic(error.File(), error.Line(), "error", error.Message());
        diagnostic.Line = 0;
        diagnostic.Column = 0;
    }
    return diagnostic;
}

void TranslateForViews(const std::string& asfPath, const GenerationChoices& choices,
                       ViewGeneration& result) {
    Diagnostics problems;
    const translation::HdlResult translated = translation::GenerateHdl(
        TranslationRequest(asfPath, choices.ProcessKind, choices.Chosen, choices.Hdl), false,
        problems);
    for (const Diagnostic& problem : problems)
        (problem.Level == Severity::Error ? result.Errors : result.Warnings).push_back(problem);
    if (translated.Generated) result.Code = translated.Module.Text;
}

} // namespace

ViewGeneration GenerateForViews(const std::string& asfPath, const GenerationChoices& choices) {
    auto model = std::make_unique<FsmModel>();
    model->ProcessKind = choices.ProcessKind;
    ViewGeneration result;
    try {
        if (choices.Hdl.Enabled)
            TranslateForViews(asfPath, choices, result);
        else
            result.Code = GenerateModule(asfPath, *model, choices.Chosen, result.Warnings);
        if (!choices.Hdl.Enabled) result.ModuleName = model->ModuleName;
    } catch (const Error& error) {
        result.Code.clear();
        result.Errors = {FromError(error, asfPath)};
    } catch (const std::bad_alloc&) {
        result.Code.clear();
        result.Warnings.clear();
        result.Errors = {Diagnostic{0, kNotEnoughMemory, code::kAsfError}};
    }
    return result;
}

Diagnostics GenerateTranslated(const FsmModel& model, const translation::HdlOptions& hdl,
                               const Extensions& chosen, const BenchChoice& bench) {
    const translation::HdlRequest request =
        TranslationRequest(model.AsfPath, model.ProcessKind, chosen, hdl);
    Diagnostics problems;
    bool generated = false;
    try {
        if (bench.Write) {
            TestBenchRequest benchRequest;
            benchRequest.BenchPath =
                QFile::encodeName(BenchPathFor(bench, QFile::decodeName(QByteArray::fromStdString(
                                                          model.CppPath))))
                    .toStdString();
            generated = translation::GenerateHdlWithTestBench(request, model.CppPath, benchRequest,
                                                              problems);
        } else {
            generated = translation::GenerateHdlFile(request, model.CppPath, problems);
        }
    } catch (const Error& error) {
        const Diagnostic said = FromError(error, model.AsfPath);
        throw AsfError(said.Line, said.Message);
    }
    Diagnostics warnings;
    for (const Diagnostic& problem : problems) {
        if (problem.Level == Severity::Error) throw AsfError(problem.Line, problem.Message);
        warnings.push_back(problem);
    }
    if (!generated) throw AsfError(0, "the translated module was not written");
    return warnings;
}

Integer ProcessKindForViews(const Platform& platform, Integer current) {
    // Read without creating anything; a FIFO or device is refused, not waited
    // on. Without two stored bytes, Generate uses the choice in memory.
    try {
        const std::string path =
            OptionFileLocation(QFile::encodeName(platform.ProgramDirectory()).toStdString());
        const QFileInfo stored(QFile::decodeName(QByteArray::fromStdString(path)));
        if (!stored.exists() || (stored.isFile() && stored.size() < 2)) return current;
        return ReadStoredProcessKind(path);
    } catch (const OptionFileError&) {
        return current;
    }
}

} // namespace kestrom::ui
