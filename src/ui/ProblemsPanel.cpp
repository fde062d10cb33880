#include "ui/ProblemsPanel.h"

#include <algorithm>

#include <QFile>
#include <QListWidget>
#include <QVBoxLayout>

#include "conversion/ToolReport.h"

namespace kestrom::ui {
namespace {

constexpr int kLineRole = Qt::UserRole;

} // namespace

ProblemsPanel::ProblemsPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("ProblemsPanel");
    list_ = new QListWidget(this);
    list_->setObjectName("ProblemsList");
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    connect(list_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item) emit LineChosen(item->data(kLineRole).toInt());
    });
}

void ProblemsPanel::Show(const std::string& asfPath, const Diagnostics& errors,
                         const Diagnostics& warnings) {
    const QSignalBlocker quiet(list_);
    list_->clear();
    Add(asfPath, errors, "error");
    Add(asfPath, warnings, "warning");
}

void ProblemsPanel::Add(const std::string& asfPath, const Diagnostics& findings,
                        const char* severity) {
    Diagnostics sorted = findings;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.Line < b.Line; });
    for (const Diagnostic& finding : sorted) {
        const std::string text =
            FindingText({asfPath, finding.Line, severity, finding.Message, finding.Code});
        auto* item = new QListWidgetItem(QFile::decodeName(QByteArray::fromStdString(text)), list_);
        item->setData(kLineRole, finding.Line);
    }
}

QStringList ProblemsPanel::Rows() const {
    QStringList rows;
    for (int i = 0; i < list_->count(); ++i)
        rows << list_->item(i)->text();
    return rows;
}

} // namespace kestrom::ui
