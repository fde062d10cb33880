// The problems panel: every error and warning of the open file, in the batch
// tool's words ("file:line: warning: message"), in line order.
#pragma once

#include <string>

#include <QWidget>

#include "conversion/Diagnostics.h"

class QListWidget;

namespace kestrom::ui {

class ProblemsPanel : public QWidget {
    Q_OBJECT

public:
    explicit ProblemsPanel(QWidget* parent = nullptr);

    // Lists the errors first, then the warnings, each group by line.
    void Show(const std::string& asfPath, const Diagnostics& errors, const Diagnostics& warnings);
    QStringList Rows() const;
    QListWidget* List() const { return list_; }

signals:
    // A row was selected; 0 for a finding of no single line.
    void LineChosen(int line);

private:
    void Add(const std::string& asfPath, const Diagnostics& findings, const char* severity);

    QListWidget* list_ = nullptr;
};

} // namespace kestrom::ui
