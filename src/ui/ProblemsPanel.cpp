#include "ui/ProblemsPanel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QVBoxLayout>

#include "base/ToolReport.h"

namespace kestrom::ui {
namespace {

constexpr int kLineRole = Qt::UserRole;
constexpr int kRelatedRole = Qt::UserRole + 1;

} // namespace

ProblemsPanel::ProblemsPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("ProblemsPanel");
    list_ = new QListWidget(this);
    list_->setObjectName("ProblemsList");
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    auto* copy = new QAction("Copy", list_);
    copy->setObjectName("ProblemsCopy");
    copy->setShortcut(QKeySequence("Ctrl+Insert")); // Ctrl+C is the window's Close
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, &ProblemsPanel::CopyChosen);
    list_->addAction(copy);
    list_->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(list_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item) emit LineChosen(item->data(kLineRole).toInt());
    });
}

void ProblemsPanel::Show(const std::string& asfPath, const Diagnostics& errors,
                         const Diagnostics& warnings) {
    asfPath_ = asfPath;
    errors_ = errors;
    warnings_ = warnings;
    analysed_ = false;
    const QSignalBlocker quiet(list_);
    Fill();
}

void ProblemsPanel::AddErrors(const Diagnostics& errors) {
    errors_.insert(errors_.end(), errors.begin(), errors.end());
    const QSignalBlocker quiet(list_);
    Fill();
}

void ProblemsPanel::ShowAnalysed(const Diagnostics& analysed) {
    const QString chosen = list_->currentItem() ? list_->currentItem()->toolTip() : QString();
    warnings_.insert(warnings_.end(), analysed.begin(), analysed.end());
    analysed_ = true;
    const QSignalBlocker quiet(list_);
    Fill();
    for (int i = 0; i < list_->count() && !chosen.isEmpty(); ++i)
        if (list_->item(i)->toolTip() == chosen) list_->setCurrentRow(i);
}

void ProblemsPanel::Fill() {
    list_->clear();
    Add(errors_, "error");
    Add(warnings_, "warning");
}

void ProblemsPanel::Add(const Diagnostics& diagnostics, const char* severity) {
    Diagnostics sorted = diagnostics;
    SortAndLimit(sorted);
    for (const Diagnostic& diagnostic : sorted) {
        const char* said = diagnostic.Level == Severity::Note ? "note" : severity;
        const std::string text = FileDiagnosticText({asfPath_,
                                                     diagnostic.Line,
                                                     said,
                                                     diagnostic.Message,
                                                     diagnostic.Code,
                                                     diagnostic.Column,
                                                     {}});
        const QString full = QFile::decodeName(QByteArray::fromStdString(text));
        const QString path = QFile::decodeName(QByteArray::fromStdString(asfPath_));
        QString shown = full;
        if (!path.isEmpty() && full.startsWith(path + ':'))
            shown = QFileInfo(path).fileName() + full.mid(path.size());
        auto* item = new QListWidgetItem(shown, list_);
        item->setToolTip(full);
        item->setData(kLineRole, diagnostic.Line);
        QVariantList related;
        for (const RelatedLocation& location : diagnostic.Related)
            related << location.Line;
        item->setData(kRelatedRole, related);
    }
}

QList<int> ProblemsPanel::RelatedLinesOfChosen() const {
    QList<int> lines;
    if (const QListWidgetItem* item = list_->currentItem())
        for (const QVariant& line : item->data(kRelatedRole).toList())
            lines << line.toInt();
    return lines;
}

QStringList ProblemsPanel::Rows() const {
    QStringList rows;
    for (int i = 0; i < list_->count(); ++i)
        rows << list_->item(i)->toolTip();
    return rows;
}

QStringList ProblemsPanel::ShownRows() const {
    QStringList rows;
    for (int i = 0; i < list_->count(); ++i)
        rows << list_->item(i)->text();
    return rows;
}

void ProblemsPanel::CopyChosen() const {
    if (const QListWidgetItem* item = list_->currentItem())
        QApplication::clipboard()->setText(item->toolTip());
}

} // namespace kestrom::ui
