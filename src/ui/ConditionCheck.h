// The condition analysis of the open file, run away from the window's
// thread: a load starts it, a newer load or closing the file cancels it, and
// its diagnostics arrive as a signal when the solver is done.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include <QFutureWatcher>
#include <QObject>

#include "base/Diagnostics.h"
#include "drawing/Drawing.h"
#include "translation/HdlOptions.h"

namespace kestrom::ui {

class ConditionCheck : public QObject {
    Q_OBJECT

public:
    explicit ConditionCheck(QObject* parent = nullptr);
    ~ConditionCheck() override; // cancels the check under way

    // Analyses the drawing the views read from `asfPath` (never the file
    // again: it may have become a FIFO since), its names found with `names`;
    // a check still running is cancelled and its result never arrives.
    void Start(std::shared_ptr<const drawing::Drawing> drawing, const std::string& asfPath,
               const translation::HdlOptions& names);
    void Cancel();
    bool Running() const { return watcher_.isRunning(); }

signals:
    // The diagnostics of the latest check, by line. A file the analysis
    // cannot read gives one note saying why.
    void Finished(const kestrom::Diagnostics& diagnostics);

private:
    QFutureWatcher<Diagnostics> watcher_;
    std::shared_ptr<std::atomic<bool>> cancel_;
};

// What the analysis says of the drawing; the work of one check.
Diagnostics CheckConditions(const drawing::Drawing& drawing, const std::string& asfPath,
                            const translation::HdlOptions& names, const std::atomic<bool>& cancel);

} // namespace kestrom::ui
