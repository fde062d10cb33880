// The problems panel: every error and warning of the open file, in the batch
// tool's words ("file:line: warning: message"), in line order. A row shows
// the file's name; its tooltip and a copy of it (context menu, Ctrl+Insert)
// hold the full path.
#pragma once

#include <string>

#include <QList>

#include <QWidget>

#include "base/Diagnostics.h"

class QListWidget;

namespace kestrom::ui {

class ProblemsPanel : public QWidget {
    Q_OBJECT

public:
    explicit ProblemsPanel(QWidget* parent = nullptr);

    // Lists the errors first, then the warnings, each group by line.
    void Show(const std::string& asfPath, const Diagnostics& errors, const Diagnostics& warnings);
    // Adds the condition analysis's diagnostics of the file shown among its
    // warnings, keeping the row chosen.
    void ShowAnalysed(const Diagnostics& analysed);
    // Each row as the batch tool says it, with the file's full path.
    QStringList Rows() const;
    // Each row as shown, with the file's name.
    QStringList ShownRows() const;
    // Puts the chosen row, as the batch tool says it, on the clipboard.
    void CopyChosen() const;
    bool Analysed() const { return analysed_; } // the analysis's diagnostics are shown
    // The other lines the chosen row concerns, such as the earlier of two
    // overlapping transitions.
    QList<int> RelatedLinesOfChosen() const;
    QListWidget* List() const { return list_; }

signals:
    // A row was selected; 0 for a diagnostic of no single line.
    void LineChosen(int line);

private:
    void Fill();
    void Add(const Diagnostics& diagnostics, const char* severity);

    QListWidget* list_ = nullptr;
    std::string asfPath_;
    Diagnostics errors_;
    Diagnostics warnings_; // the generation's and the drawing's, then the analysis's
    bool analysed_ = false;
};

} // namespace kestrom::ui
