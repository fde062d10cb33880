#include "ui/ConditionCheck.h"

#include <new>

#include <QtConcurrent/QtConcurrentRun>

#include "analysis/ConditionAnalysis.h"
#include "conversion/Generation.h"

namespace kestrom::ui {

Diagnostics CheckConditions(const drawing::Drawing& drawing, const std::string& asfPath,
                            const translation::HdlOptions& names, const std::atomic<bool>& cancel) {
    analysis::AnalysisOptions options;
    options.Cancel = &cancel;
    const char* notAnalysed = "the conditions were not analysed: ";
    try {
        return analysis::AnalyseConditionsOfDrawing(drawing, asfPath, names, options).Reported;
    } catch (const ConversionError& error) {
        Diagnostic note(error.Line(), notAnalysed + error.Message(), code::kConditionNotDecided);
        note.Level = Severity::Note;
        return {note};
    } catch (const std::bad_alloc&) {
        Diagnostic note(0, std::string(notAnalysed) + kNotEnoughMemory, code::kConditionNotDecided);
        note.Level = Severity::Note;
        return {note};
    }
}

ConditionCheck::ConditionCheck(QObject* parent) : QObject(parent) {
    connect(&watcher_, &QFutureWatcher<Diagnostics>::finished, this, [this] {
        if (!cancel_ || *cancel_) return; // cancelled after it finished
        emit Finished(watcher_.result());
    });
}

ConditionCheck::~ConditionCheck() {
    Cancel();
}

void ConditionCheck::Cancel() {
    if (cancel_) *cancel_ = true;
    cancel_.reset();
}

void ConditionCheck::Start(std::shared_ptr<const drawing::Drawing> drawing,
                           const std::string& asfPath, const translation::HdlOptions& names) {
    Cancel();
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    cancel_ = cancel;
    // The task keeps its own copies: it may outlive this object.
    watcher_.setFuture(QtConcurrent::run(
        [drawing, asfPath, names, cancel] {
            return CheckConditions(*drawing, asfPath, names, *cancel);
        }));
}

} // namespace kestrom::ui
