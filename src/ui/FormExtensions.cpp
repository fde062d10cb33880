#include "ui/FormExtensions.h"

#include <string>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QVBoxLayout>

#include "ui/WindowMemory.h"

namespace kestrom::ui {
namespace {

const char* const kResetKey = "Extensions/Reset";
const char* const kActionKindsKey = "Extensions/ActionKinds";
const char* const kTypedPortsKey = "Extensions/TypedPorts";
const char* const kStatePortKey = "Extensions/StatePort";
const char* const kAnyVersionKey = "Extensions/AnyVersion";
const char* const kWriteBenchKey = "TestBench/Write";
const char* const kBenchPathKey = "TestBench/Path";
const char* const kTranslateKey = "Hardware/Translate";
const char* const kIncludeDirsKey = "Hardware/IncludeDirs";
const char* const kDefinesKey = "Hardware/Defines";

std::vector<std::string> LocalPieces(const QString& text, const QRegularExpression& separator) {
    std::vector<std::string> pieces;
    for (const QString& piece : text.split(separator, Qt::SkipEmptyParts))
        pieces.push_back(QFile::encodeName(piece.trimmed()).toStdString());
    return pieces;
}

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

translation::HdlOptions LoadHdlChoice() {
    const QSettings store = ChoicesStore();
    translation::HdlOptions options;
    options.Enabled = store.value(kTranslateKey, false).toBool();
    options.IncludeDirs =
        LocalPieces(store.value(kIncludeDirsKey).toString(), QRegularExpression(";"));
    for (const std::string& define :
         LocalPieces(store.value(kDefinesKey).toString(), QRegularExpression("[;\\s]+"))) {
        const std::size_t equals = define.find('=');
        options.Defines.emplace_back(define.substr(0, equals),
                                     equals == std::string::npos ? "" : define.substr(equals + 1));
    }
    return options;
}

void SaveHdlChoice(bool translate, const QString& includeDirs, const QString& defines) {
    QSettings store = ChoicesStore();
    store.setValue(kTranslateKey, translate);
    store.setValue(kIncludeDirsKey, includeDirs.trimmed());
    store.setValue(kDefinesKey, defines.trimmed());
}

Extensions ModuleExtensionChoices() {
    Extensions extensions = LoadExtensionChoices();
    if (LoadBenchChoice().Write) extensions.StatePort = extensions.CoverageHooks = true;
    return extensions;
}

Extensions OpenExtensionChoices() {
    Extensions extensions = LoadExtensionChoices();
    if (LoadHdlChoice().Enabled) extensions.AnyVersion = true;
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
    checkHdl_ = AddCheckBox(layout, "CheckHdl",
                            "The diagram is written in its hardware language (translate and "
                            "flatten)");
    includeDirs_ = new QLineEdit;
    includeDirs_->setObjectName("IncludeDirs");
    includeDirs_->setPlaceholderText("folders of `include files, separated by ;");
    defines_ = new QLineEdit;
    defines_->setObjectName("Defines");
    defines_->setPlaceholderText("NAME=VALUE …");
    auto* hdlForm = new QFormLayout;
    hdlForm->addRow("Include folders:", includeDirs_);
    hdlForm->addRow("Defines:", defines_);
    layout->addLayout(hdlForm);

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
    const QSettings store = ChoicesStore();
    checkHdl_->setChecked(store.value(kTranslateKey, false).toBool());
    includeDirs_->setText(store.value(kIncludeDirsKey).toString());
    defines_->setText(store.value(kDefinesKey).toString());
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
    SaveHdlChoice(checkHdl_->isChecked(), includeDirs_->text(), defines_->text());
    accept();
}

} // namespace kestrom::ui
