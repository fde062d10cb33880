#include "ui/ViewGeneration.h"

#include <memory>
#include <new>

#include <QFile>
#include <QFileInfo>

#include "conversion/Generation.h"
#include "conversion/OptionFile.h"
#include "extensions/ExtendedGeneration.h"
#include "ui/Platform.h"

namespace kestrom::ui {

ViewGeneration GenerateForViews(const std::string& asfPath, const GenerationChoices& choices) {
    auto model = std::make_unique<FsmModel>();
    model->ProcessKind = choices.ProcessKind;
    ViewGeneration result;
    try {
        result.Code = GenerateModule(asfPath, *model, choices.Chosen, result.Warnings);
    } catch (const ConversionError& error) {
        result.Code.clear();
        result.Error = Diagnostic{error.Line(), error.Message(), code::kAsfError};
    } catch (const std::bad_alloc&) {
        result.Code.clear();
        result.Warnings.clear();
        result.Error = Diagnostic{0, kNotEnoughMemory, code::kAsfError};
    }
    return result;
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
