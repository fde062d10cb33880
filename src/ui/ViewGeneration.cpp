#include "ui/ViewGeneration.h"

#include <memory>

#include <QFile>

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
    }
    return result;
}

Integer ProcessKindForViews(const Platform& platform, Integer current) {
    QFile file(QFile::decodeName(QByteArray::fromStdString(
        OptionFileLocation(QFile::encodeName(platform.ProgramDirectory()).toStdString()))));
    if (!file.open(QIODevice::ReadOnly)) return current;
    const QByteArray bytes = file.read(2);
    if (bytes.size() != 2) return current;
    const auto low = static_cast<unsigned char>(bytes[0]);
    const auto high = static_cast<unsigned char>(bytes[1]);
    return static_cast<Integer>(low | (high << 8));
}

} // namespace kestrom::ui
