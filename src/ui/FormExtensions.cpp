#include "ui/FormExtensions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace kestrom::ui {
namespace {

QSettings ChoicesStore() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Kestrom", "Kestrom");
}

const char* const kResetKey = "Extensions/Reset";
const char* const kActionKindsKey = "Extensions/ActionKinds";
const char* const kTypedPortsKey = "Extensions/TypedPorts";
const char* const kStatePortKey = "Extensions/StatePort";
const char* const kAnyVersionKey = "Extensions/AnyVersion";
const char* const kWriteBenchKey = "TestBench/Write";
const char* const kBenchPathKey = "TestBench/Path";

QCheckBox* AddCheckBox(QVBoxLayout* layout, const char* name, const QString& caption) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(name);
    layout->addWidget(box);
    return box;
}

} // namespace

Extensions LoadExtensionChoices() {
    const QSettings store = ChoicesStore();
    Extensions extensions;
    const QString reset = store.value(kResetKey).toString();
    if (reset == "sync") extensions.Reset = ResetStyle::Sync;
    if (reset == "async") extensions.Reset = ResetStyle::Async;
    extensions.ActionKinds = store.value(kActionKindsKey, false).toBool();
    extensions.TypedPorts = store.value(kTypedPortsKey, false).toBool();
    extensions.StatePort = store.value(kStatePortKey, false).toBool();
    extensions.AnyVersion = store.value(kAnyVersionKey, false).toBool();
    return extensions;
}

void SaveExtensionChoices(const Extensions& extensions) {
    QSettings store = ChoicesStore();
    const char* reset = extensions.Reset == ResetStyle::Sync    ? "sync"
                        : extensions.Reset == ResetStyle::Async ? "async"
                                                                : "none";
    store.setValue(kResetKey, reset);
    store.setValue(kActionKindsKey, extensions.ActionKinds);
    store.setValue(kTypedPortsKey, extensions.TypedPorts);
    store.setValue(kStatePortKey, extensions.StatePort);
    store.setValue(kAnyVersionKey, extensions.AnyVersion);
}

BenchChoice LoadBenchChoice() {
    const QSettings store = ChoicesStore();
    return {store.value(kWriteBenchKey, false).toBool(), store.value(kBenchPathKey).toString()};
}

void SaveBenchChoice(const BenchChoice& bench) {
    QSettings store = ChoicesStore();
    store.setValue(kWriteBenchKey, bench.Write);
    store.setValue(kBenchPathKey, bench.Path);
}

Extensions ModuleExtensionChoices() {
    Extensions extensions = LoadExtensionChoices();
    if (LoadBenchChoice().Write) extensions.StatePort = extensions.CoverageHooks = true;
    return extensions;
}

QString BenchPathFor(const BenchChoice& bench, const QString& cppPath) {
    const QFileInfo module(cppPath);
    if (bench.Path.isEmpty()) return module.dir().filePath(module.completeBaseName() + "_tb.cpp");
    return QDir::isRelativePath(bench.Path) ? module.dir().filePath(bench.Path) : bench.Path;
}

FormExtensions::FormExtensions(QWidget* owner) : QDialog(owner) {
    setObjectName("FormExtensions");
    setWindowTitle("Extensions");
    setAttribute(Qt::WA_DeleteOnClose);

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    comboReset_ = new QComboBox;
    comboReset_->setObjectName("ComboReset");
    comboReset_->addItems({"None", "Synchronous", "Asynchronous"});
    form->addRow("Reset from the Reset object:", comboReset_);
    layout->addLayout(form);
    checkActionKinds_ =
        AddCheckBox(layout, "CheckActionKinds", "Entry, exit and transition actions run as drawn");
    checkTypedPorts_ = AddCheckBox(layout, "CheckTypedPorts", "Ports typed by their drawn width");
    checkStatePort_ = AddCheckBox(layout, "CheckStatePort", "State port fsm_state");
    checkAnyVersion_ = AddCheckBox(layout, "CheckAnyVersion", "Accept other ASF versions");
    checkTestBench_ = AddCheckBox(layout, "CheckTestBench", "Also write a test bench");
    benchPath_ = new QLineEdit;
    benchPath_->setObjectName("BenchPath");
    benchPath_->setPlaceholderText("beside the module, NAME_tb.cpp");
    auto* benchForm = new QFormLayout;
    benchForm->addRow("Test bench file:", benchPath_);
    layout->addLayout(benchForm);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("CommandOK");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("CommandCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &FormExtensions::CommandOK_Click);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    Show(LoadExtensionChoices());
    const BenchChoice bench = LoadBenchChoice();
    checkTestBench_->setChecked(bench.Write);
    benchPath_->setText(bench.Path);
}

void FormExtensions::Show(const Extensions& extensions) {
    comboReset_->setCurrentIndex(static_cast<int>(extensions.Reset));
    checkActionKinds_->setChecked(extensions.ActionKinds);
    checkTypedPorts_->setChecked(extensions.TypedPorts);
    checkStatePort_->setChecked(extensions.StatePort);
    checkAnyVersion_->setChecked(extensions.AnyVersion);
}

Extensions FormExtensions::Chosen() const {
    Extensions extensions;
    extensions.Reset = static_cast<ResetStyle>(comboReset_->currentIndex());
    extensions.ActionKinds = checkActionKinds_->isChecked();
    extensions.TypedPorts = checkTypedPorts_->isChecked();
    extensions.StatePort = checkStatePort_->isChecked();
    extensions.AnyVersion = checkAnyVersion_->isChecked();
    return extensions;
}

void FormExtensions::CommandOK_Click() {
    SaveExtensionChoices(Chosen());
    SaveBenchChoice({checkTestBench_->isChecked(), benchPath_->text().trimmed()});
    accept();
}

} // namespace kestrom::ui
